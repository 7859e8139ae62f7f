<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>otherWidget</name>
    <message>
        <source>系统设置</source>
        <translation>System settings</translation>
    </message>
    <message>
        <source>设备名称：</source>
        <translation>Device name:</translation>
    </message>
    <message>
        <source>画布宽度：</source>
        <translation>Canvas width:</translation>
    </message>
    <message>
        <source>取值:[0,3840]</source>
        <translation>Range:[0,3840]</translation>
    </message>
    <message>
        <source>画布高度：</source>
        <translation>Canvas height:</translation>
    </message>
    <message>
        <source>取值:[0,2160]</source>
        <translation>Range:[0,2160]</translation>
    </message>
    <message>
        <source>X起始坐标：</source>
        <translation>X start:</translation>
    </message>
    <message>
        <source>Y起始坐标：</source>
        <translation>Y start:</translation>
    </message>
    <message>
        <source>亮度：</source>
        <translation>Brightness:</translation>
    </message>
    <message>
        <source>声音：</source>
        <translation>Sound:</translation>
    </message>
    <message>
        <source>画布缩放：</source>
        <translation>Canvas scaling:</translation>
    </message>
    <message>
        <source>点对点缩放</source>
        <translation>Point to point</translation>
    </message>
    <message>
        <source>比例缩放</source>
        <translation>Proportional</translation>
    </message>
    <message>
        <source>输入截取</source>
        <translation>Input crop</translation>
    </message>
    <message>
        <source>X坐标：</source>
        <translation>X:</translation>
    </message>
    <message>
        <source>截取宽度：</source>
        <translation>Crop width:</translation>
    </message>
    <message>
        <source>Y坐标：</source>
        <translation>Y:</translation>
    </message>
    <message>
        <source>截取高度：</source>
        <translation>Crop height:</translation>
    </message>
    <message>
        <source>输出截取</source>
        <translation>Output crop</translation>
    </message>
    <message>
        <source>保存到场景</source>
        <translation>Save to scene</translation>
    </message>
</context>
<context>
    <name>COtherWidget</name>
    <message>
        <source>修改失败</source>
        <translation>Change failed</translation>
    </message>
    <message>
        <source>设备参数尚未读取，请稍候再试！</source>
        <translation>The device settings have not been read yet, please try again shortly!</translation>
    </message>
    <message>
        <source>此页面在本窗口中没有对应的设备！</source>
        <translation>This page serves no device in this window!</translation>
    </message>
    <message>
        <source>请输入正确屏幕宽高！</source>
        <translation>Please enter a valid screen width and height!</translation>
    </message>
    <message>
        <source>画布宽高不能为0！</source>
        <translation>The canvas width and height cannot be 0!</translation>
    </message>
    <message>
        <source>偏移点需在画布范围内！</source>
        <translation>The offset must lie inside the canvas!</translation>
    </message>
    <message>
        <source>截取失败</source>
        <translation>Crop failed</translation>
    </message>
    <message>
        <source>截取值需为0到65535的整数！</source>
        <translation>Crop values must be whole numbers from 0 to 65535!</translation>
    </message>
    <message>
        <source>截取图像需在画布范围内！</source>
        <translation>The crop must lie inside the canvas!</translation>
    </message>
</context>
<context>
    <name>OutputSettingDlg</name>
    <message>
        <source>输出设置</source>
        <translation>Output settings</translation>
    </message>
    <message>
        <source>输出口类型：</source>
        <translation>Port type:</translation>
    </message>
    <message>
        <source>输出口选择：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>输出口一</source>
        <translation>Output 1</translation>
    </message>
    <message>
        <source>输出口二</source>
        <translation>Output 2</translation>
    </message>
    <message>
        <source>输出口三</source>
        <translation>Output 3</translation>
    </message>
    <message>
        <source>输出口四</source>
        <translation>Output 4</translation>
    </message>
    <message>
        <source>输出口五</source>
        <translation>Output 5</translation>
    </message>
    <message>
        <source>输出口六</source>
        <translation>Output 6</translation>
    </message>
    <message>
        <source>输出口七</source>
        <translation>Output 7</translation>
    </message>
    <message>
        <source>输出口八</source>
        <translation>Output 8</translation>
    </message>
    <message>
        <source>输出口%1</source>
        <translation>Output %1</translation>
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
        <source>分辨率：</source>
        <translation>Resolution:</translation>
    </message>
    <message>
        <source>刷新率：</source>
        <translation>Refresh rate:</translation>
    </message>
    <message>
        <source>宽度：</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>高度：</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>高级选项</source>
        <translation>Advanced</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>水平活动像素：</source>
        <translation>H active:</translation>
    </message>
    <message>
        <source>水平总像素：</source>
        <translation>H total:</translation>
    </message>
    <message>
        <source>水平起始：</source>
        <translation>H start:</translation>
    </message>
    <message>
        <source>水平结束：</source>
        <translation>H end:</translation>
    </message>
    <message>
        <source>垂直活动像素：</source>
        <translation>V active:</translation>
    </message>
    <message>
        <source>垂直总像素：</source>
        <translation>V total:</translation>
    </message>
    <message>
        <source>垂直起始：</source>
        <translation>V start:</translation>
    </message>
    <message>
        <source>垂直结束：</source>
        <translation>V end:</translation>
    </message>
    <message>
        <source>最大频率(HZ):</source>
        <translation>Max rate (Hz):</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>高级设置</source>
        <translation>Advanced settings</translation>
    </message>
    <message>
        <source>输出口设置</source>
        <translation>Output port settings</translation>
    </message>
    <message>
        <source>消除噪点：</source>
        <translation>Noise cancellation:</translation>
    </message>
    <message>
        <source>延迟：</source>
        <translation>Delay:</translation>
    </message>
    <message>
        <source>设置失败</source>
        <translation>Setting failed</translation>
    </message>
    <message>
        <source>请输入0到%1之间的整数！</source>
        <translation>Please enter a whole number from 0 to %1!</translation>
    </message>
    <message>
        <source>请选择标准分辨率！</source>
        <translation>Please choose a standard resolution!</translation>
    </message>
</context>
<context>
    <name>AudioSettings</name>
    <message>
        <source>音频设置</source>
        <translation>Audio settings</translation>
    </message>
    <message>
        <source>当前场景：</source>
        <translation>Current scene:</translation>
    </message>
    <message>
        <source>场景音频源：</source>
        <translation>Scene audio source:</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>AudioIn</source>
        <translation>AudioIn</translation>
    </message>
    <message>
        <source>窗口1</source>
        <translation>Window 1</translation>
    </message>
    <message>
        <source>场景音量：</source>
        <translation>Scene volume:</translation>
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
    <name>CEditSceneMain</name>
    <message>
        <source>关闭</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>AudioIn</source>
        <translation>AudioIn</translation>
    </message>
    <message>
        <source>窗口1</source>
        <translation>Window 1</translation>
    </message>
    <message>
        <source>窗口2</source>
        <translation>Window 2</translation>
    </message>
    <message>
        <source>窗口3</source>
        <translation>Window 3</translation>
    </message>
    <message>
        <source>窗口4</source>
        <translation>Window 4</translation>
    </message>
    <message>
        <source>窗口5</source>
        <translation>Window 5</translation>
    </message>
    <message>
        <source>窗口6</source>
        <translation>Window 6</translation>
    </message>
</context>
</TS>
