<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>programListWidget</name>
    <message>
        <source>场景列表</source>
        <translation>Scene list</translation>
    </message>
    <message>
        <source>刷新所有场景</source>
        <translation>Refresh all scenes</translation>
    </message>
</context>
<context>
    <name>CProgramListWidget</name>
    <message>
        <source>添加场景</source>
        <translation>Add scene</translation>
    </message>
    <message>
        <source>删除失败</source>
        <translation>Delete failed</translation>
    </message>
    <message>
        <source>不能删除最后一个场景！</source>
        <translation>The last scene cannot be deleted!</translation>
    </message>
    <message>
        <source>删除场景中请稍等</source>
        <translation>Deleting the scene, please wait</translation>
    </message>
</context>
<context>
    <name>CCardProgramWidget</name>
    <message>
        <source>添加场景</source>
        <translation>Add scene</translation>
    </message>
    <message>
        <source>已调用</source>
        <translation>Taken</translation>
    </message>
    <message>
        <source>未调用</source>
        <translation>Not taken</translation>
    </message>
    <message>
        <source>更新场景</source>
        <translation>Update scene</translation>
    </message>
    <message>
        <source>调用场景</source>
        <translation>Take scene</translation>
    </message>
    <message>
        <source>保存场景</source>
        <translation>Save scene</translation>
    </message>
    <message>
        <source>保存到场景</source>
        <translation>Save to scene</translation>
    </message>
    <message>
        <source>重命名场景</source>
        <translation>Rename scene</translation>
    </message>
    <message>
        <source>删除场景</source>
        <translation>Delete scene</translation>
    </message>
    <message>
        <source>场景未调用</source>
        <translation>Scene not taken</translation>
    </message>
    <message>
        <source>该场景未调用，是否立即调用？</source>
        <translation>This scene is not taken. Take it now?</translation>
    </message>
    <message>
        <source>场景%1已不存在，请重新输入！</source>
        <translation>Scene %1 no longer exists, please enter another number!</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>新建场景中请稍等</source>
        <translation>Creating the scene, please wait</translation>
    </message>
    <message>
        <source>新增场景</source>
        <translation>New scene</translation>
    </message>
    <message>
        <source>用户场景</source>
        <translation>User scene</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
</context>
<context>
    <name>CSceneSaveAsDlg</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>保存到场景序号：</source>
        <translation>Save to scene number:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>场景保存范围</source>
        <translation>Save range</translation>
    </message>
    <message>
        <source>场景%1已不存在，请重新输入！</source>
        <translation>Scene %1 no longer exists, please enter another number!</translation>
    </message>
    <message>
        <source>场景数已达上限%1，请输入已有场景！</source>
        <translation>The scene limit (%1) is reached, please enter an existing scene!</translation>
    </message>
    <message>
        <source>保存失败</source>
        <translation>Save failed</translation>
    </message>
    <message>
        <source>请输入有效值！</source>
        <translation>Please enter a valid number!</translation>
    </message>
</context>
<context>
    <name>CProgramDlg</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>场景名称：</source>
        <translation>Scene name:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CPlayWnd</name>
    <message>
        <source>00:00:00</source>
        <translation>00:00:00</translation>
    </message>
    <message>
        <source>00:00:01</source>
        <translation>00:00:01</translation>
    </message>
    <message>
        <source>锁定播放</source>
        <translation>Lock playback</translation>
    </message>
    <message>
        <source>取消锁定</source>
        <translation>Unlock</translation>
    </message>
    <message>
        <source>复原位置</source>
        <translation>Restore position</translation>
    </message>
    <message>
        <source>窗口置顶</source>
        <translation>Always on top</translation>
    </message>
    <message>
        <source>取消置顶</source>
        <translation>Not on top</translation>
    </message>
</context>
</TS>
