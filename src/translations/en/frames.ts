<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>EditSceneMain</name>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>输出设置</source>
        <translation>Output settings</translation>
    </message>
    <message>
        <source>OSD设置</source>
        <translation>OSD settings</translation>
    </message>
    <message>
        <source>音频设置</source>
        <translation>Audio settings</translation>
    </message>
    <message>
        <source>新建工程 Ctrl+N</source>
        <translation>New project Ctrl+N</translation>
    </message>
    <message>
        <source>打开工程 Ctrl+O</source>
        <translation>Open project Ctrl+O</translation>
    </message>
    <message>
        <source>保存工程 Ctrl+S</source>
        <translation>Save project Ctrl+S</translation>
    </message>
    <message>
        <source>另存为(A) Ctrl+F2</source>
        <translation>Save as(A) Ctrl+F2</translation>
    </message>
    <message>
        <source>导出工程(X)...</source>
        <translation>Export project(X)...</translation>
    </message>
    <message>
        <source>显示播放窗 Ctrl+F3</source>
        <translation>Show play window Ctrl+F3</translation>
    </message>
    <message>
        <source>隐藏播放窗 Ctrl+F4</source>
        <translation>Hide play window Ctrl+F4</translation>
    </message>
    <message>
        <source>帮助手册</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>联系我们</source>
        <translation>Contact us</translation>
    </message>
    <message>
        <source>关于Brightpane</source>
        <translation>About Brightpane</translation>
    </message>
</context>
<context>
    <name>CEditSceneMain</name>
    <message>
        <source>版本号</source>
        <translation>Version number</translation>
    </message>
    <message>
        <source>输出设置</source>
        <translation>Output settings</translation>
    </message>
    <message>
        <source>新建工程Ctrl+N</source>
        <translation>New project Ctrl+N</translation>
    </message>
    <message>
        <source>打开工程Ctrl+O</source>
        <translation>Open project Ctrl+O</translation>
    </message>
    <message>
        <source>保存工程Ctrl+S</source>
        <translation>Save project Ctrl+S</translation>
    </message>
    <message>
        <source>另存为(As)...</source>
        <translation>Save as...</translation>
    </message>
    <message>
        <source>退出程序Ctrl+W</source>
        <translation>Exit Ctrl+W</translation>
    </message>
    <message>
        <source>隐藏播放窗Ctrl+F4</source>
        <translation>Hide play window Ctrl+F4</translation>
    </message>
    <message>
        <source>显示播放窗Ctrl+F3</source>
        <translation>Show play window Ctrl+F3</translation>
    </message>
    <message>
        <source>前台播放Ctrl+F6</source>
        <translation>Play in front Ctrl+F6</translation>
    </message>
    <message>
        <source>后台播放Ctrl+F5</source>
        <translation>Play behind Ctrl+F5</translation>
    </message>
    <message>
        <source>屏幕管理</source>
        <translation>Screen management</translation>
    </message>
    <message>
        <source>帮助手册</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>联系我们</source>
        <translation>Contact us</translation>
    </message>
    <message>
        <source>节目 (*.smt)</source>
        <translation>Program (*.smt)</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Off</translation>
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
<context>
    <name>Zinferface</name>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
</context>
<context>
    <name>CToolBar</name>
    <message>
        <source>删除画布中选择的页面</source>
        <translation>Delete the selected layer from the canvas</translation>
    </message>
    <message>
        <source>上移一层</source>
        <translation>Move up one layer</translation>
    </message>
    <message>
        <source>下移一层</source>
        <translation>Move down one layer</translation>
    </message>
    <message>
        <source>自动填充屏幕</source>
        <translation>Fill the screen</translation>
    </message>
    <message>
        <source>分区水平居中</source>
        <translation>Spread horizontally</translation>
    </message>
    <message>
        <source>分区垂直居中</source>
        <translation>Spread vertically</translation>
    </message>
</context>
<context>
    <name>ZMiddleControl</name>
    <message>
        <source>当前信号源</source>
        <translation>Current source</translation>
    </message>
    <message>
        <source>信号源分辨率</source>
        <translation>Source resolution</translation>
    </message>
    <message>
        <source>水平坐标偏移量</source>
        <translation>Horizontal offset</translation>
    </message>
    <message>
        <source>垂直坐标偏移量</source>
        <translation>Vertical offset</translation>
    </message>
    <message>
        <source>画布宽高</source>
        <translation>Canvas size</translation>
    </message>
    <message>
        <source>信号源切换中</source>
        <translation>Switching source</translation>
    </message>
</context>
<context>
    <name>CSreenManageDlg</name>
    <message>
        <source>屏幕管理</source>
        <translation>Screen management</translation>
    </message>
    <message>
        <source>输出显卡：</source>
        <translation>Output card:</translation>
    </message>
    <message>
        <source>名称：</source>
        <translation>Name:</translation>
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
        <source>应用</source>
        <translation>Apply</translation>
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
        <source>宽度和高度必须是大于0的整数</source>
        <translation>The width and the height must be whole numbers above 0</translation>
    </message>
</context>
<context>
    <name>CScreenPoperty</name>
    <message>
        <source>输出显卡：</source>
        <translation>Output card:</translation>
    </message>
    <message>
        <source>名称：</source>
        <translation>Name:</translation>
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
</context>
</TS>
