#ifndef BESTRANSPARENTLAYER_H
#define BESTRANSPARENTLAYER_H

#include <QWidget>

// Transparent layer that reports and swallows every mouse press.
class BesTransparentLayer : public QWidget
{
    Q_OBJECT
public:
    explicit BesTransparentLayer(QWidget *parent = nullptr);

signals:
    void sig_layerPressed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

#endif // BESTRANSPARENTLAYER_H
