#ifndef BASESLIDER_H
#define BASESLIDER_H

#include <QSlider>

// Slider that jumps to the point where the mouse is released and ignores the
// mouse wheel.
class CBaseSlider : public QSlider
{
    Q_OBJECT
public:
    explicit CBaseSlider(QWidget *parent = nullptr);

signals:
    // The value taken from the release point (not clamped to the range).
    void rSliderValueManulChange(int mValue);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
};

#endif // BASESLIDER_H
