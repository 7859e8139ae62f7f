#ifndef EDITGRIDTOOL_H
#define EDITGRIDTOOL_H

// Paints a dashed grid with 20 x 20 spacing on black, for a scene background.

#include <QRect>
#include <QSize>

class QPainter;

class EditGridTool
{
public:
    EditGridTool(const QSize &grid = QSize(3200, 2400), const QSize &space = QSize(20, 20));
    void paintGrid(QPainter *painter, const QRect &rect);

private:
    QSize m_sizeGrid;
    QSize m_sizeGridSpace;
};

#endif // EDITGRIDTOOL_H
