#ifndef BESSHADOWPAINTER_H
#define BESSHADOWPAINTER_H

#include <QColor>

class QWidget;

// Paints the body and the fading band of the shadow windows (BesShadowDialog
// and BesShadowWidget): the body fills the widget inside the band, below
// nMarginTop; the band is one outline per pixel, alpha nAlphaStart - 20 * sqrt(i).
class BesShadowPainter
{
public:
    static void paint(QWidget *pWidget, int nBorder, int nMarginTop, const QColor &bgColor,
                      QColor bandColor, int nAlphaStart);
};

#endif // BESSHADOWPAINTER_H
