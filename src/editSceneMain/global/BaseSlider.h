#ifndef BASESLIDER_H
#define BASESLIDER_H

#include <QSlider>

// Slider that jumps to the point where the mouse is released and ignores the
// mouse wheel. A key that moves it says the new value as a release does.
class CBaseSlider : public QSlider
{
    Q_OBJECT
public:
    explicit CBaseSlider(QWidget *parent = nullptr);

signals:
    // The value taken from the release point (not clamped to the range), or the one a key moved it to.
    void rSliderValueManulChange(int mValue);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

#endif // BASESLIDER_H
