<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>GbkCodec</name>
    <message>
        <source>场景名称</source>
        <translation>场景名称</translation>
    </message>
    <message>
        <source>设备名称</source>
        <translation>设备名称</translation>
    </message>
    <message>
        <source>输入名称</source>
        <translation>输入名称</translation>
    </message>
    <message>
        <source>换行</source>
        <translation>换行</translation>
    </message>
    <message>
        <source>制表符</source>
        <translation>制表符</translation>
    </message>
    <message>
        <source>控制字符 %1</source>
        <translation>控制字符 %1</translation>
    </message>
    <message>
        <source>字符 %1</source>
        <translation>字符 %1</translation>
    </message>
    <message>
        <source>“%1”</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>%1含有设备不支持的字符：%2</source>
        <translation>%1含有设备不支持的字符：%2</translation>
    </message>
    <message>
        <source>%1不能超过%2个字节（一个汉字占2个字节）</source>
        <translation>%1不能超过%2个字节（一个汉字占2个字节）</translation>
    </message>
</context>
<context>
    <name>InputSource</name>
    <message>
        <source>无输入</source>
        <translation>无输入</translation>
    </message>
</context>
</TS>
