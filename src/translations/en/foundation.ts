<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>GbkCodec</name>
    <message>
        <source>场景名称</source>
        <translation>Scene name</translation>
    </message>
    <message>
        <source>设备名称</source>
        <translation>Device name</translation>
    </message>
    <message>
        <source>输入名称</source>
        <translation>Input name</translation>
    </message>
    <message>
        <source>换行</source>
        <translation>line break</translation>
    </message>
    <message>
        <source>制表符</source>
        <translation>tab</translation>
    </message>
    <message>
        <source>控制字符 %1</source>
        <translation>control character %1</translation>
    </message>
    <message>
        <source>字符 %1</source>
        <translation>character %1</translation>
    </message>
    <message>
        <source>“%1”</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>%1含有设备不支持的字符：%2</source>
        <translation>%1 contains a character the device does not support: %2.</translation>
    </message>
    <message>
        <source>%1不能超过%2个字节（一个汉字占2个字节）</source>
        <translation>%1 must not be longer than %2 bytes (a Chinese character takes 2 bytes).</translation>
    </message>
</context>
<context>
    <name>InputSource</name>
    <message>
        <source>无输入</source>
        <translation>No input</translation>
    </message>
</context>
</TS>
