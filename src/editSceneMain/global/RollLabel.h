#ifndef ROLLLABEL_H
#define ROLLLABEL_H

#include <QBasicTimer>
#include <QLabel>

class QLineEdit;

// Label whose text scrolls sideways like a marquee between startRoll() and
// stopRoll(). It paints its text itself.
class CRollLabel : public QLabel
{
    Q_OBJECT
public:
    enum ScrollDirection { RightToLeft = 1, LeftToRight = 2 };

    explicit CRollLabel(QWidget *parent = nullptr);

    ScrollDirection getDirection() const;
    void setDirection(ScrollDirection d);
    int getInterval() const;
    void setInterval(int nMs);
    void startRoll();
    void stopRoll();
    void addLineEdit();

    // Current scroll position in pixels (for the owner's inspection).
    int offset() const { return m_nOffset; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    int restOffset() const;

    QBasicTimer m_scrollTimer;
    int m_nInterval;
    int m_nOffset;
    int m_nTextWidth;
    int m_nLabelWidth;
    ScrollDirection m_nDirection;
    QLineEdit *m_pLineEdit;
};

#endif // ROLLLABEL_H
