<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CBackCanvasWidget</name>
    <message>
        <source>大屏宽</source>
        <translation>Screen width</translation>
    </message>
    <message>
        <source>大屏高</source>
        <translation>Screen height</translation>
    </message>
    <message>
        <source>场景未调用</source>
        <translation>Scene not recalled</translation>
    </message>
    <message>
        <source>该场景未调用，是否立即调用？</source>
        <translation>This scene is not recalled. Recall it now?</translation>
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
        <source>提示</source>
        <translation>Tip</translation>
    </message>
    <message>
        <source>画布宽度取值:[500,18600]，画布高度取值:[100,8192]</source>
        <translation>Canvas width must lie in [500,18600] and canvas height in [100,8192]</translation>
    </message>
    <message>
        <source>大屏宽度取值:[500,18600]，大屏高度取值:[100,8192]</source>
        <translation>Screen width must lie in [500,18600] and screen height in [100,8192]</translation>
    </message>
</context>
<context>
    <name>COSDTransfer</name>
    <message>
        <source>设备拒绝了OSD数据</source>
        <translation>The device refused the OSD data</translation>
    </message>
    <message>
        <source>设备未应答OSD数据头</source>
        <translation>The device did not answer the OSD header</translation>
    </message>
    <message>
        <source>设备未确认OSD数据包%1</source>
        <translation>The device did not acknowledge OSD packet %1</translation>
    </message>
    <message>
        <source>与设备的连接已断开</source>
        <translation>The link to the device was lost</translation>
    </message>
    <message>
        <source>设备未应答OSD数据结束</source>
        <translation>The device did not answer the end of the OSD data</translation>
    </message>
</context>
<context>
    <name>CPropertyStack</name>
    <message>
        <source>画面参数</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>图层设置</source>
        <translation>Layer settings</translation>
    </message>
    <message>
        <source>图层参数</source>
        <translation>Layer parameters</translation>
    </message>
    <message>
        <source>大屏参数</source>
        <translation>Screen parameters</translation>
    </message>
    <message>
        <source>设备参数</source>
        <translation>Device parameters</translation>
    </message>
    <message>
        <source>OSD设置</source>
        <translation>OSD settings</translation>
    </message>
    <message>
        <source>请先选择OSD</source>
        <translation>Select an OSD first</translation>
    </message>
    <message>
        <source>OSD数据正在下发，请稍候</source>
        <translation>OSD data is being sent, please wait</translation>
    </message>
    <message>
        <source>OSD宽度至少为8，高度取值1-256</source>
        <translation>The OSD width must be at least 8 and its height 1-256</translation>
    </message>
    <message>
        <source>OSD坐标取值0-50000，宽度取值8-50000，高度取值1-256</source>
        <translation>The OSD position must be 0-50000, its width 8-50000 and its height 1-256</translation>
    </message>
    <message>
        <source>OSD数据为空</source>
        <translation>The OSD data is empty</translation>
    </message>
    <message>
        <source>OSD数据下发失败：%1</source>
        <translation>Sending the OSD data failed: %1</translation>
    </message>
</context>
<context>
    <name>CWndPosWidget</name>
    <message>
        <source>场景未调用</source>
        <translation>Scene not recalled</translation>
    </message>
    <message>
        <source>该场景未调用，是否立即调用？</source>
        <translation>This scene is not recalled. Recall it now?</translation>
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
    <name>EditOSDItem</name>
    <message>
        <source>single item</source>
        <translation>single item</translation>
    </message>
</context>
<context>
    <name>OSDWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
</context>
<context>
    <name>OSDsrttingdlg</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>OSD设置1</source>
        <translation>OSD 1</translation>
    </message>
    <message>
        <source>OSD设置2</source>
        <translation>OSD 2</translation>
    </message>
    <message>
        <source>OSD设置3</source>
        <translation>OSD 3</translation>
    </message>
    <message>
        <source>OSD设置4</source>
        <translation>OSD 4</translation>
    </message>
    <message>
        <source>OSD设置5</source>
        <translation>OSD 5</translation>
    </message>
    <message>
        <source>OSD设置6</source>
        <translation>OSD 6</translation>
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
        <source>OSD设置</source>
        <translation>OSD settings</translation>
    </message>
</context>
<context>
    <name>WndOSDPosWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>X坐标：</source>
        <translation>X:</translation>
    </message>
    <message>
        <source>宽度：</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>Y坐标：</source>
        <translation>Y:</translation>
    </message>
    <message>
        <source>高度：</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>请输入1-256</source>
        <translation>Enter 1-256</translation>
    </message>
</context>
<context>
    <name>backCanvasWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>大屏宽度：</source>
        <translation>Screen width:</translation>
    </message>
    <message>
        <source>大屏宽</source>
        <translation>Screen width</translation>
    </message>
    <message>
        <source>取值:[500,18600]</source>
        <translation>Range:[500,18600]</translation>
    </message>
    <message>
        <source>大屏高度：</source>
        <translation>Screen height:</translation>
    </message>
    <message>
        <source>大屏高</source>
        <translation>Screen height</translation>
    </message>
    <message>
        <source>取值:[100,8192]</source>
        <translation>Range:[100,8192]</translation>
    </message>
    <message>
        <source>刷新率：</source>
        <translation>Refresh rate:</translation>
    </message>
    <message>
        <source>注意：修改大屏分辨率,图层会做清空处理</source>
        <translation>Note: changing the screen resolution clears the layers</translation>
    </message>
    <message>
        <source>画布宽度：</source>
        <translation>Canvas width:</translation>
    </message>
    <message>
        <source>画布高度：</source>
        <translation>Canvas height:</translation>
    </message>
    <message>
        <source>是否手动输入</source>
        <translation>Manual input</translation>
    </message>
    <message>
        <source>自动换算</source>
        <translation>Calculate</translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation>System settings</translation>
    </message>
    <message>
        <source>设备名称：</source>
        <translation>Device name:</translation>
    </message>
</context>
<context>
    <name>propertyStack</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>大屏参数</source>
        <translation>Screen parameters</translation>
    </message>
    <message>
        <source>OSD应用</source>
        <translation>Apply OSD</translation>
    </message>
    <message>
        <source>图层应用</source>
        <translation>Apply layer</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apply</translation>
    </message>
</context>
<context>
    <name>textWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>显示文本：</source>
        <translation>Text:</translation>
    </message>
    <message>
        <source>字体属性：</source>
        <translation>Font:</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>4</source>
        <translation>4</translation>
    </message>
    <message>
        <source>6</source>
        <translation>6</translation>
    </message>
    <message>
        <source>8</source>
        <translation>8</translation>
    </message>
    <message>
        <source>9</source>
        <translation>9</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>11</source>
        <translation>11</translation>
    </message>
    <message>
        <source>12</source>
        <translation>12</translation>
    </message>
    <message>
        <source>14</source>
        <translation>14</translation>
    </message>
    <message>
        <source>16</source>
        <translation>16</translation>
    </message>
    <message>
        <source>18</source>
        <translation>18</translation>
    </message>
    <message>
        <source>20</source>
        <translation>20</translation>
    </message>
    <message>
        <source>22</source>
        <translation>22</translation>
    </message>
    <message>
        <source>24</source>
        <translation>24</translation>
    </message>
    <message>
        <source>26</source>
        <translation>26</translation>
    </message>
    <message>
        <source>28</source>
        <translation>28</translation>
    </message>
    <message>
        <source>36</source>
        <translation>36</translation>
    </message>
    <message>
        <source>48</source>
        <translation>48</translation>
    </message>
    <message>
        <source>50</source>
        <translation>50</translation>
    </message>
    <message>
        <source>52</source>
        <translation>52</translation>
    </message>
    <message>
        <source>54</source>
        <translation>54</translation>
    </message>
    <message>
        <source>56</source>
        <translation>56</translation>
    </message>
    <message>
        <source>58</source>
        <translation>58</translation>
    </message>
    <message>
        <source>60</source>
        <translation>60</translation>
    </message>
    <message>
        <source>62</source>
        <translation>62</translation>
    </message>
    <message>
        <source>64</source>
        <translation>64</translation>
    </message>
    <message>
        <source>66</source>
        <translation>66</translation>
    </message>
    <message>
        <source>68</source>
        <translation>68</translation>
    </message>
    <message>
        <source>70</source>
        <translation>70</translation>
    </message>
    <message>
        <source>72</source>
        <translation>72</translation>
    </message>
    <message>
        <source>74</source>
        <translation>74</translation>
    </message>
    <message>
        <source>76</source>
        <translation>76</translation>
    </message>
    <message>
        <source>78</source>
        <translation>78</translation>
    </message>
    <message>
        <source>80</source>
        <translation>80</translation>
    </message>
    <message>
        <source>82</source>
        <translation>82</translation>
    </message>
    <message>
        <source>84</source>
        <translation>84</translation>
    </message>
    <message>
        <source>86</source>
        <translation>86</translation>
    </message>
    <message>
        <source>88</source>
        <translation>88</translation>
    </message>
    <message>
        <source>90</source>
        <translation>90</translation>
    </message>
    <message>
        <source>92</source>
        <translation>92</translation>
    </message>
    <message>
        <source>94</source>
        <translation>94</translation>
    </message>
    <message>
        <source>96</source>
        <translation>96</translation>
    </message>
    <message>
        <source>98</source>
        <translation>98</translation>
    </message>
    <message>
        <source>100</source>
        <translation>100</translation>
    </message>
    <message>
        <source>背景属性：</source>
        <translation>Background:</translation>
    </message>
    <message>
        <source>透明度：</source>
        <translation>Alpha:</translation>
    </message>
    <message>
        <source>背景透明</source>
        <translation>Transparent background</translation>
    </message>
    <message>
        <source>文本属性：</source>
        <translation>Text:</translation>
    </message>
    <message>
        <source>字间距：</source>
        <translation>Spacing:</translation>
    </message>
    <message>
        <source>字体宽度：</source>
        <translation>Font weight:</translation>
    </message>
    <message>
        <source>文本透明</source>
        <translation>Transparent text</translation>
    </message>
    <message>
        <source>特效效果：</source>
        <translation>Effect:</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>随机</source>
        <translation>Random</translation>
    </message>
    <message>
        <source>左移</source>
        <translation>Move left</translation>
    </message>
    <message>
        <source>右移</source>
        <translation>Move right</translation>
    </message>
    <message>
        <source>上移</source>
        <translation>Move up</translation>
    </message>
    <message>
        <source>下移</source>
        <translation>Move down</translation>
    </message>
    <message>
        <source>渐变</source>
        <translation>Fade</translation>
    </message>
    <message>
        <source>百叶窗</source>
        <translation>Blinds</translation>
    </message>
    <message>
        <source>左翻转</source>
        <translation>Flip left</translation>
    </message>
    <message>
        <source>上下闭合</source>
        <translation>Close vertically</translation>
    </message>
    <message>
        <source>滑动速度：</source>
        <translation>Scroll speed:</translation>
    </message>
    <message>
        <source>静止</source>
        <translation>Still</translation>
    </message>
    <message>
        <source>一档</source>
        <translation>Speed 1</translation>
    </message>
    <message>
        <source>二档</source>
        <translation>Speed 2</translation>
    </message>
    <message>
        <source>三档</source>
        <translation>Speed 3</translation>
    </message>
    <message>
        <source>四档</source>
        <translation>Speed 4</translation>
    </message>
    <message>
        <source>五档</source>
        <translation>Speed 5</translation>
    </message>
    <message>
        <source>数据下发进度：</source>
        <translation>Sending progress:</translation>
    </message>
    <message>
        <source>播放时长：</source>
        <translation>Duration:</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>s</translation>
    </message>
    <message>
        <source>粗体</source>
        <translation>Bold</translation>
    </message>
    <message>
        <source>斜体</source>
        <translation>Italic</translation>
    </message>
    <message>
        <source>下划线</source>
        <translation>Underline</translation>
    </message>
</context>
<context>
    <name>wndLightWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>亮度：</source>
        <translation>Brightness:</translation>
    </message>
    <message>
        <source>对比度：</source>
        <translation>Contrast:</translation>
    </message>
    <message>
        <source>开始时间：</source>
        <translation>Start time:</translation>
    </message>
</context>
<context>
    <name>wndLineWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>边框线宽：</source>
        <translation>Border width:</translation>
    </message>
    <message>
        <source>透明度：</source>
        <translation>Transparency:</translation>
    </message>
    <message>
        <source>透明色：</source>
        <translation>Transparent colour:</translation>
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
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>宽度：</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>1920</source>
        <translation>1920</translation>
    </message>
    <message>
        <source>Y坐标：</source>
        <translation>Y:</translation>
    </message>
    <message>
        <source>高度：</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>1080</source>
        <translation>1080</translation>
    </message>
    <message>
        <source>截取</source>
        <translation>Crop</translation>
    </message>
</context>
<context>
    <name>wndPosWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>X坐标：</source>
        <translation>X:</translation>
    </message>
    <message>
        <source>宽度：</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>Y坐标：</source>
        <translation>Y:</translation>
    </message>
    <message>
        <source>高度：</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>主信号源：</source>
        <translation>Main source:</translation>
    </message>
    <message>
        <source>图层状态：</source>
        <translation>Layer state:</translation>
    </message>
    <message>
        <source>图层不生效</source>
        <translation>Layer off</translation>
    </message>
    <message>
        <source>图层生效</source>
        <translation>Layer on</translation>
    </message>
</context>
</TS>
