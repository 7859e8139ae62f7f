#ifndef BESSHADOWWIDGET_H
#define BESSHADOWWIDGET_H

#include <QColor>
#include <QWidget>

// Widget with a dark body and a soft dark shadow band around it.
class BesShadowWidget : public QWidget
{
    Q_OBJECT
public:
    explicit BesShadowWidget(QWidget *parent = nullptr);

    void SetShadowBorder(int nBorder);
    void SetMarginTop(int nMarginTop);
    void SetBackgroundColor(QColor color);

protected:
    void paintEvent(QPaintEvent *event) override;

    QColor bgColor;
    int marginTop;
    int border;
};

#endif // BESSHADOWWIDGET_H
