#ifndef BESSLIDER_H
#define BESSLIDER_H

#include <QSlider>
#include <QStyleOptionSlider>

// Slider that keeps the grab offset of its handle, so the handle does not
// jump to the pointer when pressed off its centre.
class BesSlider : public QSlider
{
    Q_OBJECT
public:
    explicit BesSlider(QWidget *parent = nullptr);

    QRect getHandleRect();

    bool enableMouseEvt;

signals:
    void sig_clickNotOnHandle(int nValue);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QStyleOptionSlider qStyleOptionStyle;
    QPoint click_pos_offset;
};

#endif // BESSLIDER_H
