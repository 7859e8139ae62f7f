<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>BesFramelessDialog</name>
    <message>
        <source>商标</source>
        <translation>商标</translation>
    </message>
    <message>
        <source>标题</source>
        <translation>标题</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>BesEditDialog</name>
    <message>
        <source>编辑</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>SystemTray</name>
    <message>
        <source>显示窗口 </source>
        <translation>显示窗口 </translation>
    </message>
    <message>
        <source>隐藏窗口 </source>
        <translation>隐藏窗口 </translation>
    </message>
    <message>
        <source>关于软件 </source>
        <translation>关于软件 </translation>
    </message>
    <message>
        <source>退出软件 </source>
        <translation>退出软件 </translation>
    </message>
    <message>
        <source>Brightpaneer</source>
        <translation>Brightpaneer</translation>
    </message>
</context>
</TS>
