<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>MainWindow</name>
    <message>
        <source>MainWindow</source>
        <translation>Vistel-V1.1(20250108)</translation>
    </message>
    <message>
        <source>网络通讯</source>
        <translation>Network</translation>
    </message>
    <message>
        <source>TypeC通讯</source>
        <translation>TypeC</translation>
    </message>
    <message>
        <source>端口号：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>刷新端口号</source>
        <translation>Refresh the port list</translation>
    </message>
    <message>
        <source>串口连接</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>语言：</source>
        <translation>Language:</translation>
    </message>
    <message>
        <source>中文</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <source>英文</source>
        <translation>English</translation>
    </message>
    <message>
        <source>IP地址</source>
        <translation>IP address</translation>
    </message>
    <message>
        <source>设备类型</source>
        <translation>Device type</translation>
    </message>
    <message>
        <source>设备名称</source>
        <translation>Device name</translation>
    </message>
    <message>
        <source>网络设备</source>
        <translation>Network devices</translation>
    </message>
    <message>
        <source>设备不在线</source>
        <translation>Device offline</translation>
    </message>
    <message>
        <source>设备离线中，请等待！</source>
        <translation>The device is offline, please wait!</translation>
    </message>
    <message>
        <source>没有发现输入源</source>
        <translation>No input source found</translation>
    </message>
    <message>
        <source>该设备正在被控制，或者连接异常！</source>
        <translation>The device is being controlled elsewhere, or the connection is faulty!</translation>
    </message>
    <message>
        <source>串口已打开</source>
        <translation>Port open</translation>
    </message>
    <message>
        <source>串口连接失败</source>
        <translation>Serial connection failed</translation>
    </message>
    <message>
        <source>该端口不可用，请接入设备后重新启动软件！</source>
        <translation>This port cannot be used; plug in the device and restart the program!</translation>
    </message>
</context>
<context>
    <name>CDeviceControl</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>在线</source>
        <translation>Online</translation>
    </message>
    <message>
        <source>离线</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>场景编辑</source>
        <translation>Edit scenes</translation>
    </message>
</context>
<context>
    <name>SwitchButton</name>
    <message>
        <source>可连接</source>
        <translation>On</translation>
    </message>
    <message>
        <source>已断开</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>设备连接</source>
        <translation>Device connection</translation>
    </message>
</context>
<context>
    <name>About</name>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>版本号：V1.1(20250108)</source>
        <translation>Version: V1.1(20250108)</translation>
    </message>
</context>
<context>
    <name>CEditSceneMain</name>
    <message>
        <source>输入源</source>
        <translation>Input sources</translation>
    </message>
    <message>
        <source>场景</source>
        <translation>Scenes</translation>
    </message>
</context>
<context>
    <name>Zinferface</name>
    <message>
        <source>输入源</source>
        <translation>Input sources</translation>
    </message>
    <message>
        <source>场景</source>
        <translation>Scenes</translation>
    </message>
</context>
</TS>
