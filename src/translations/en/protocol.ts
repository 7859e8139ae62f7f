<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CTcpDeviceThread</name>
    <message>
        <source>混合</source>
        <translation>Mixed</translation>
    </message>
    <message>
        <source>网口</source>
        <translation>Ethernet</translation>
    </message>
    <message>
        <source>5G-PHY</source>
        <translation>5G-PHY</translation>
    </message>
    <message>
        <source>光口</source>
        <translation>Optical</translation>
    </message>
    <message>
        <source>HDMI</source>
        <translation>HDMI</translation>
    </message>
    <message>
        <source>设备未连接</source>
        <translation>Device not connected</translation>
    </message>
    <message>
        <source>设备 %1 未连接，修改未生效。</source>
        <translation>Device %1 is not connected; the change was not made.</translation>
    </message>
    <message>
        <source>设备忙</source>
        <translation>Device busy</translation>
    </message>
    <message>
        <source>设备 %1 忙，修改未生效。</source>
        <translation>Device %1 is busy; the change was not made.</translation>
    </message>
    <message>
        <source>场景%1已不存在，请重新输入！</source>
        <translation>Scene %1 no longer exists, please enter another number!</translation>
    </message>
    <message>
        <source>修改未生效</source>
        <translation>Change not made</translation>
    </message>
    <message>
        <source>设备 %1 拒绝了修改，修改未生效。</source>
        <translation>Device %1 refused the change; the change was not made.</translation>
    </message>
    <message>
        <source>设备 %1 未应答，修改未生效。</source>
        <translation>Device %1 did not answer; the change was not made.</translation>
    </message>
    <message>
        <source>修改未确认</source>
        <translation>Change not confirmed</translation>
    </message>
    <message>
        <source>设备 %1 未应答，无法确认修改是否生效。</source>
        <translation>Device %1 did not answer; whether the change was made is not known.</translation>
    </message>
    <message>
        <source>画布未刷新</source>
        <translation>Canvas not refreshed</translation>
    </message>
    <message>
        <source>设备 %1 未返回场景，画布显示的可能不是设备上的内容。</source>
        <translation>Device %1 did not return the scene; the canvas may not show what the device holds.</translation>
    </message>
    <message>
        <source>设备无应答</source>
        <translation>The device does not answer</translation>
    </message>
    <message>
        <source>设备无应答，请检查设备后重新连接
%1</source>
        <translation>The device does not answer, please check it and connect again
%1</translation>
    </message>
    <message>
        <source>设备参数尚未读取，请稍候再试！</source>
        <translation>The device settings have not been read yet, please try again shortly!</translation>
    </message>
</context>
<context>
    <name>SerislPort</name>
    <message>
        <source>串口打开失败</source>
        <translation>Serial port open failed</translation>
    </message>
    <message>
        <source>串口线松动，请重新插拔！</source>
        <translation>The serial cable is loose, please plug it in again!</translation>
    </message>
</context>
<context>
    <name>CTcpSocket</name>
    <message>
        <source>Connection timed out</source>
        <translation>Connection timed out</translation>
    </message>
</context>
</TS>
