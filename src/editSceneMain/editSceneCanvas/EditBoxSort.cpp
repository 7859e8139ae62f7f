#include "EditBoxSort.h"

EditBoxSort::EditBoxSort(QGraphicsItem *item, const QRectF &rect, AlignType alignType)
    : item_(item)
    , box(rect)
    , align(alignType)
{
    if (alignType == HORZEVEN_ALIGN) {
        min_ = rect.x();
        max_ = rect.x() + rect.width();
        extent_ = rect.width();
    } else {
        min_ = rect.y();
        max_ = rect.y() + rect.height();
        extent_ = rect.height();
    }
    anchor = 0.5 * min_ + 0.5 * max_;
}
