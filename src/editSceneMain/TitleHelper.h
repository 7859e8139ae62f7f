#ifndef TITLEHELPER_H
#define TITLEHELPER_H

#include <QObject>
#include <QPoint>
#include <QRect>

class QWidget;
class QMouseEvent;

// Event filter that makes a top-level window frameless and gives back what the
// frame provided: moving by the title area and resizing at the borders. It
// only watches the window's events and never consumes one.
class CTitleHelper : public QObject
{
public:
    enum Border {
        E_Border_NULL = 0,
        E_Border_NORMAL,
        E_Border_LEFT,
        E_Border_LEFT_TOP,
        E_Border_TOP,
        E_Border_RIGHT_TOP,
        E_Border_RIGHT,
        E_Border_RIGHT_BOTTOM,
        E_Border_BOTTOM,
        E_Border_LEFT_BOTTOM
    };

    CTitleHelper(QWidget *window, QObject *parent = nullptr);

    void setTitleHeight(int nHeight);
    void setBorderWidth(int nWidth);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void handlePress(QMouseEvent *event);
    void handleMove(QMouseEvent *event);
    // Zone under a cursor at window coordinates pos; sets the cursor.
    int findZone(const QPoint &pos);
    void resizeBy(int dx, int dy);
    // On platforms where a window cannot place itself (Wayland), hand the
    // move or resize over to the window system. True when handed over.
    bool startSystemGesture(bool bMove);

    QWidget *m_winPtr;
    QPoint m_mouseBeginPos;
    QPoint m_winBeginPos;
    int m_titleHeight;
    bool m_movePress;
    bool m_LeftBtnPress;
    int m_winBorderWidth;
    int m_border_type;
    QRect m_winBeginRect;
};

#endif // TITLEHELPER_H
