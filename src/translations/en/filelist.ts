<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CCardFileWidget</name>
    <message>
        <source>修改输入设置</source>
        <translation>Modify input settings</translation>
    </message>
    <message>
        <source>修改输入名称</source>
        <translation>Modify input name</translation>
    </message>
    <message>
        <source>修改标准分辨率</source>
        <translation>Modify standard resolution</translation>
    </message>
    <message>
        <source>修改自定义分辨率</source>
        <translation>Modify custom resolution</translation>
    </message>
</context>
<context>
    <name>CDeviceItem</name>
    <message>
        <source>修改输入设置</source>
        <translation>Modify input settings</translation>
    </message>
    <message>
        <source>修改输入名称</source>
        <translation>Modify input name</translation>
    </message>
    <message>
        <source>修改分辨率</source>
        <translation>Modify resolution</translation>
    </message>
    <message>
        <source>更新输入名称</source>
        <translation>Update input name</translation>
    </message>
    <message>
        <source>更新分辨率</source>
        <translation>Update resolution</translation>
    </message>
    <message>
        <source>恢复出厂设置名称</source>
        <translation>Restore factory name</translation>
    </message>
</context>
<context>
    <name>CFileListWidget</name>
    <message>
        <source>输入源</source>
        <translation>Input sources</translation>
    </message>
    <message>
        <source>刷新输入源</source>
        <translation>Refresh input sources</translation>
    </message>
</context>
<context>
    <name>CInputSetDlg</name>
    <message>
        <source>自定义分辨率：</source>
        <translation>Custom resolution:</translation>
    </message>
    <message>
        <source>标准分辨率：</source>
        <translation>Standard resolution:</translation>
    </message>
    <message>
        <source>宽度和高度须为1到65535之间的整数</source>
        <translation>Width and height must be whole numbers from 1 to 65535.</translation>
    </message>
    <message>
        <source>刷新频率须为1到255之间的整数</source>
        <translation>The refresh rate must be a whole number from 1 to 255.</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
</context>
<context>
    <name>InputSetDlg</name>
    <message>
        <source>输入设置名称：</source>
        <translation>Input name:</translation>
    </message>
    <message>
        <source>分辨率类型：</source>
        <translation>Resolution type:</translation>
    </message>
    <message>
        <source>标准分辨率</source>
        <translation>Standard resolution</translation>
    </message>
    <message>
        <source>自定义分辨率</source>
        <translation>Custom resolution</translation>
    </message>
    <message>
        <source>标准分辨率：</source>
        <translation>Standard resolution:</translation>
    </message>
    <message>
        <source>800X600</source>
        <translation>800X600</translation>
    </message>
    <message>
        <source>1024X768</source>
        <translation>1024X768</translation>
    </message>
    <message>
        <source>1280X720</source>
        <translation>1280X720</translation>
    </message>
    <message>
        <source>1280X800</source>
        <translation>1280X800</translation>
    </message>
    <message>
        <source>1280X1024</source>
        <translation>1280X1024</translation>
    </message>
    <message>
        <source>1366X768</source>
        <translation>1366X768</translation>
    </message>
    <message>
        <source>1440X900</source>
        <translation>1440X900</translation>
    </message>
    <message>
        <source>1680X1050</source>
        <translation>1680X1050</translation>
    </message>
    <message>
        <source>1920X1080</source>
        <translation>1920X1080</translation>
    </message>
    <message>
        <source>1920X1200</source>
        <translation>1920X1200</translation>
    </message>
    <message>
        <source>1920X1280</source>
        <translation>1920X1280</translation>
    </message>
    <message>
        <source>2048X1539</source>
        <translation>2048X1539</translation>
    </message>
    <message>
        <source>2560X1440</source>
        <translation>2560X1440</translation>
    </message>
    <message>
        <source>3840X2160</source>
        <translation>3840X2160</translation>
    </message>
    <message>
        <source>4096X2160</source>
        <translation>4096X2160</translation>
    </message>
    <message>
        <source>自定义频率：</source>
        <translation>Refresh rate:</translation>
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
</TS>
