#ifndef KITBOXFRAME_H
#define KITBOXFRAME_H

#include <QPoint>

class QDialog;
class QEvent;
class QFrame;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

// The frame the toolkit's frameless boxes (message, input) share: the title
// row with its icon, title, count-down and close button, the Ok/Cancel row,
// the form set-up, the once-a-second count-down and dragging by any point.
namespace KitBoxFrame {

struct TitleRow
{
    QWidget *widgetTitle = nullptr;
    QHBoxLayout *layTitle = nullptr;
    QLabel *labIco = nullptr;
    QLabel *labTitle = nullptr;
    QLabel *labTime = nullptr;
    QWidget *widgetMenu = nullptr;
    QHBoxLayout *layMenu = nullptr;
    QPushButton *btnMenu_Close = nullptr;
};

// Builds the title row inside pBox; the two layouts take the given object names.
TitleRow buildTitleRow(QDialog *pBox, const char *pszTitleLayout, const char *pszMenuLayout);

// Adds the Ok and Cancel buttons, right-aligned, to pRow inside pFrame.
void addOkCancel(QFrame *pFrame, QHBoxLayout *pRow, QPushButton *&pBtnOk, QPushButton *&pBtnCancel);

// Glyphs, frameless flags, fixed size, window title and button sizes; the box
// filters its own events for dragging.
void setUpForm(QDialog *pBox, const TitleRow &title, QFrame *pFrame);

// One second of the count-down: closes the box once closeSec seconds have
// passed and shows what is left. Nothing happens while closeSec is 0. Both
// counters are the box's own, which its close resets.
void countDown(QDialog *pBox, const int &closeSec, int &currentSec, QLabel *pLabTime);

// Moves pBox while the left button is held on it; true where the event was
// used. The press point and state are the caller's.
bool dragFilter(QWidget *pBox, QEvent *pEvent, QPoint &mousePoint, bool &mousePressed);

} // namespace KitBoxFrame

#endif // KITBOXFRAME_H
