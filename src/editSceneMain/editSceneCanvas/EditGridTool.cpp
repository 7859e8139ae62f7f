#include "EditGridTool.h"

#include <QPainter>

EditGridTool::EditGridTool(const QSize &grid, const QSize &space)
    : m_sizeGrid(grid)
    , m_sizeGridSpace(20, 20)
{
    // The spacing is always 20 x 20.
    Q_UNUSED(space)
}

void EditGridTool::paintGrid(QPainter *painter, const QRect &rect)
{
    QPen pen(QColor(22, 205, 232, 255), 0.3, Qt::DashLine);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->fillRect(rect, Qt::black);
    painter->setPen(pen);
    const int nRight = rect.left() + rect.width();
    const int nBottom = rect.top() + rect.height();
    for (int x = rect.left(); x < nRight; x += m_sizeGridSpace.width())
        painter->drawLine(x, rect.top(), x, nBottom);
    for (int y = rect.top(); y < nBottom; y += m_sizeGridSpace.height())
        painter->drawLine(rect.left(), y, nRight, y);
    painter->setPen(QPen(Qt::black));
    painter->drawLine(nRight, rect.top(), nRight, nBottom);
    painter->drawLine(rect.left(), nBottom, nRight, nBottom);
    painter->restore();
}
