#ifndef EDITBOXSORT_H
#define EDITBOXSORT_H

// One item of an even distribution: its box along the axis the alignment chose (horizontal
// for HORZEVEN_ALIGN, vertical for every other value). Records order by anchor, smaller first;
// equal anchors are unordered.

#include <QRectF>

class QGraphicsItem;

enum AlignType
{
    TOP_ALIGN = 0,
    HORZ_ALIGN = 1,
    VERT_ALIGN = 2,
    BOTTOM_ALIGN = 3,
    LEFT_ALIGN = 4,
    RIGHT_ALIGN = 5,
    CENTER_ALIGN = 6,
    HORZEVEN_ALIGN = 7,
    VERTERVEN_ALIGN = 8,
    WIDTH_ALIGN = 9,
    HEIGHT_ALIGN = 10,
    ALL_ALIGN = 11
};

struct EditBoxSort
{
    EditBoxSort(QGraphicsItem *item, const QRectF &rect, AlignType alignType);

    qreal min() const { return min_; }
    qreal max() const { return max_; }
    qreal extent() const { return extent_; }
    bool operator<(const EditBoxSort &other) const { return anchor < other.anchor; }

    QGraphicsItem *item_;
    qreal anchor;
    qreal min_;
    qreal max_;
    qreal extent_;
    QRectF box;
    AlignType align;
};

#endif // EDITBOXSORT_H
