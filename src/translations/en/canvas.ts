<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CEditSceneCanvas</name>
    <message>
        <source>清空画布</source>
        <translation>Clear canvas</translation>
    </message>
    <message>
        <source>画布居中</source>
        <translation>Centre canvas</translation>
    </message>
    <message>
        <source>放大</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>缩小</source>
        <translation>Zoom out</translation>
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
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>添加失败</source>
        <translation>Add failed</translation>
    </message>
    <message>
        <source>请关闭OSD设置后再添加图层</source>
        <translation>Turn the OSD off before adding a layer</translation>
    </message>
    <message>
        <source>已经到达最大图层上限数量！</source>
        <translation>The maximum number of layers has been reached!</translation>
    </message>
    <message>
        <source>输入源冲突</source>
        <translation>Input source conflict</translation>
    </message>
    <message>
        <source>4K输入源已被占满，无法调用该输入源</source>
        <translation>The 4K input sources are all in use; this source cannot be used</translation>
    </message>
    <message>
        <source>该输入源和图层L%1有冲突，是否强制调用？</source>
        <translation>This input source conflicts with layer L%1. Use it anyway?</translation>
    </message>
    <message>
        <source>删除图层</source>
        <translation>Delete layer</translation>
    </message>
    <message>
        <source>上移一层</source>
        <translation>Move up one layer</translation>
    </message>
    <message>
        <source>下移一层</source>
        <translation>Move down one layer</translation>
    </message>
    <message>
        <source>置顶图层</source>
        <translation>Bring to top</translation>
    </message>
    <message>
        <source>置底图层</source>
        <translation>Send to bottom</translation>
    </message>
    <message>
        <source>全屏图层</source>
        <translation>Fill the screen</translation>
    </message>
    <message>
        <source>静音</source>
        <translation>Mute</translation>
    </message>
    <message>
        <source>取消静音</source>
        <translation>Unmute</translation>
    </message>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>更新</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>加载工程文件</source>
        <translation>Load project file</translation>
    </message>
    <message>
        <source>工程文件版本错误</source>
        <translation>Wrong project file version</translation>
    </message>
    <message>
        <source>工程文件已损坏</source>
        <translation>The project file is damaged</translation>
    </message>
    <message>
        <source>保存文件</source>
        <translation>Save file</translation>
    </message>
    <message>
        <source>节目文件保存失败：%1</source>
        <translation>The program file could not be saved: %1</translation>
    </message>
    <message>
        <source>节目文件保存成功</source>
        <translation>The program file was saved</translation>
    </message>
    <message>
        <source>文件Json解析失败</source>
        <translation>The file is not valid JSON</translation>
    </message>
    <message>
        <source>工程文件不存在：%1</source>
        <translation>The project file does not exist: %1</translation>
    </message>
    <message>
        <source>所选路径是文件夹，不是工程文件：%1</source>
        <translation>The path is a folder, not a project file: %1</translation>
    </message>
    <message>
        <source>工程文件无法读取：%1（%2）</source>
        <translation>The project file cannot be read: %1 (%2)</translation>
    </message>
    <message>
        <source>工程文件过大，最大支持%1 MB</source>
        <translation>The project file is too large; at most %1 MB can be loaded</translation>
    </message>
    <message>
        <source>工程文件场景过多：最多%1个场景</source>
        <translation>The project file holds too many scenes: at most %1</translation>
    </message>
</context>
<context>
    <name>CEditBaseScene</name>
    <message>
        <source>场景未调用</source>
        <translation>Scene not taken</translation>
    </message>
    <message>
        <source>该场景未调用，是否立即调用？</source>
        <translation>This scene is not taken. Take it now?</translation>
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
        <source>图层删除中请稍等</source>
        <translation>Deleting the layer, please wait</translation>
    </message>
    <message>
        <source>图层数量复位</source>
        <translation>Layer count reset</translation>
    </message>
    <message>
        <source>该图层跨画布后，其他非跨画布图层将消失，是否继续？</source>
        <translation>Once this layer crosses the canvases, the other layers that do not will disappear. Continue?</translation>
    </message>
</context>
</TS>
