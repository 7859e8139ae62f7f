#ifndef FRAMESTYLES_H
#define FRAMESTYLES_H

// Style sheets of the title-row buttons shared by the editor frames and the
// screen dialog.
namespace FrameStyles {
constexpr const char *kMin =
    "QPushButton{border:none;background:rgba(255, 255, 255, 0);image:url(:/res/res/image/min_normal.png);}"
    "QPushButton:hover{border:none;background:rgba(255, 255, 255, 0);image:url(:/res/res/image/min_hover.png);}";
constexpr const char *kNormal =
    "QPushButton{background:transparent;border-image: url(:/res/res/image/normal_normal.png);}"
    "QPushButton:hover{background:transparent;border-image: url(:/res/res/image/normal_hover.png);}";
constexpr const char *kMax =
    "QPushButton{background:transparent;border-image: url(:/res/res/image/max_normal.png);}"
    "QPushButton:hover{background:transparent;border-image: url(:/res/res/image/max_hover.png);}";
constexpr const char *kClose =
    "QPushButton{background:transparent;border-image: url(:/res/res/image/close_normal.png);}"
    "QPushButton:hover{background:transparent;border-image: url(:/res/res/image/close_hover.png);}";
constexpr const char *kLock =
    "QPushButton{background:transparent;border-image: url(:/res/res/videoTool/lock-normal.png);}"
    "QPushButton:hover{background:transparent;border-image: url(:/res/res/videoTool/lock-hover.png);}"
    "QPushButton:pressed{background:transparent;border-image: url(:/res/res/videoTool/lock-hover.png);}";
// The canvas's floating tool strip, tool column and play tool: no background for them and their
// buttons; a window they open (a button's tooltip) keeps the look every other one has.
constexpr const char *kFloatingTools = "*:!window{background-color:transparent;}";
} // namespace FrameStyles

#endif // FRAMESTYLES_H
