<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>BesFramelessDialog</name>
    <message>
        <source>商标</source>
        <translation>Logo</translation>
    </message>
    <message>
        <source>标题</source>
        <translation>Title</translation>
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
    <name>BesEditDialog</name>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
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
    <name>SystemTray</name>
    <message>
        <source>显示窗口 </source>
        <translation>Show window </translation>
    </message>
    <message>
        <source>隐藏窗口 </source>
        <translation>Hide window </translation>
    </message>
    <message>
        <source>关于软件 </source>
        <translation>About </translation>
    </message>
    <message>
        <source>退出软件 </source>
        <translation>Exit </translation>
    </message>
    <message>
        <source>Brightpaneer</source>
        <translation>Brightpaneer</translation>
    </message>
</context>
</TS>
