<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CTcpDeviceThread</name>
    <message>
        <source>混合</source>
        <translation>混合</translation>
    </message>
    <message>
        <source>网口</source>
        <translation>网口</translation>
    </message>
    <message>
        <source>5G-PHY</source>
        <translation>5G-PHY</translation>
    </message>
    <message>
        <source>光口</source>
        <translation>光口</translation>
    </message>
    <message>
        <source>HDMI</source>
        <translation>HDMI</translation>
    </message>
    <message>
        <source>设备未连接</source>
        <translation>设备未连接</translation>
    </message>
    <message>
        <source>设备 %1 未连接，修改未生效。</source>
        <translation>设备 %1 未连接，修改未生效。</translation>
    </message>
    <message>
        <source>设备忙</source>
        <translation>设备忙</translation>
    </message>
    <message>
        <source>设备 %1 忙，修改未生效。</source>
        <translation>设备 %1 忙，修改未生效。</translation>
    </message>
    <message>
        <source>场景%1已不存在，请重新输入！</source>
        <translation>场景%1已不存在，请重新输入！</translation>
    </message>
    <message>
        <source>修改未生效</source>
        <translation>修改未生效</translation>
    </message>
    <message>
        <source>设备 %1 拒绝了修改，修改未生效。</source>
        <translation>设备 %1 拒绝了修改，修改未生效。</translation>
    </message>
    <message>
        <source>设备 %1 未应答，修改未生效。</source>
        <translation>设备 %1 未应答，修改未生效。</translation>
    </message>
    <message>
        <source>修改未确认</source>
        <translation>修改未确认</translation>
    </message>
    <message>
        <source>设备 %1 未应答，无法确认修改是否生效。</source>
        <translation>设备 %1 未应答，无法确认修改是否生效。</translation>
    </message>
    <message>
        <source>画布未刷新</source>
        <translation>画布未刷新</translation>
    </message>
    <message>
        <source>设备 %1 未返回场景，画布显示的可能不是设备上的内容。</source>
        <translation>设备 %1 未返回场景，画布显示的可能不是设备上的内容。</translation>
    </message>
    <message>
        <source>设备无应答</source>
        <translation>设备无应答</translation>
    </message>
    <message>
        <source>设备无应答，请检查设备后重新连接
%1</source>
        <translation>设备无应答，请检查设备后重新连接
%1</translation>
    </message>
    <message>
        <source>设备参数尚未读取，请稍候再试！</source>
        <translation>设备参数尚未读取，请稍候再试！</translation>
    </message>
</context>
<context>
    <name>SerislPort</name>
    <message>
        <source>串口打开失败</source>
        <translation>串口打开失败</translation>
    </message>
    <message>
        <source>串口线松动，请重新插拔！</source>
        <translation>串口线松动，请重新插拔！</translation>
    </message>
</context>
<context>
    <name>CTcpSocket</name>
    <message>
        <source>Connection timed out</source>
        <translation>连接超时</translation>
    </message>
</context>
</TS>
