#ifndef BESSCALEUTIL_H
#define BESSCALEUTIL_H

#include <QRect>

// Size factor of the Bes widget family. Every scaled size is a base value
// multiplied by scale() and cut toward zero (see scaled()).
class BesScaleUtil
{
public:
    // Available geometry (without task bars) of the primary screen.
    static QRect getPrimaryScreenRect();
    // Factor from the primary screen's available height, computed on every call.
    static double scale();
    // The factor for an available height h: h/800 below 800, 1.0 from 800 to
    // 1080, h/1080 above 1080.
    static double scaleForHeight(int h);
    // nBase * scale(), cut toward zero.
    static int scaled(int nBase);
};

#endif // BESSCALEUTIL_H
