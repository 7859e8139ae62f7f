#include "FlowLayout.h"

#include <QWidget>

FlowLayout::FlowLayout(QWidget *parent, int margin, int hSpacing, int vSpacing)
    : QLayout(parent)
    , m_hSpace(hSpacing)
    , m_vSpace(vSpacing)
{
    setContentsMargins(margin, margin, margin, margin);
}

FlowLayout::FlowLayout(int margin, int hSpacing, int vSpacing)
    : m_hSpace(hSpacing)
    , m_vSpace(vSpacing)
{
    setContentsMargins(margin, margin, margin, margin);
}

FlowLayout::~FlowLayout()
{
    QLayoutItem *pItem;
    while ((pItem = takeAt(0)))
        delete pItem;
}

void FlowLayout::addItem(QLayoutItem *item)
{
    itemList.append(item);
}

int FlowLayout::horizontalSpacing() const
{
    if (m_hSpace >= 0)
        return m_hSpace;
    return smartSpacing(QStyle::PM_LayoutHorizontalSpacing);
}

int FlowLayout::verticalSpacing() const
{
    if (m_vSpace >= 0)
        return m_vSpace;
    return smartSpacing(QStyle::PM_LayoutVerticalSpacing);
}

int FlowLayout::count() const
{
    return itemList.size();
}

QLayoutItem *FlowLayout::itemAt(int index) const
{
    return itemList.value(index, nullptr);
}

QLayoutItem *FlowLayout::takeAt(int index)
{
    if (index >= 0 && index < itemList.size())
        return itemList.takeAt(index);
    return nullptr;
}

void FlowLayout::deleteItemById(int index)
{
    QLayoutItem *pItem = takeAt(index);
    if (!pItem)
        return;
    if (QWidget *pWidget = pItem->widget()) {
        pWidget->setParent(nullptr);
        delete pWidget;
    }
    delete pItem;
}

void FlowLayout::deleteAllItem()
{
    while (!itemList.isEmpty())
        deleteItemById(0);
}

Qt::Orientations FlowLayout::expandingDirections() const
{
    return {};
}

bool FlowLayout::hasHeightForWidth() const
{
    return true;
}

int FlowLayout::heightForWidth(int width) const
{
    return doLayout(QRect(0, 0, width, 0), true);
}

void FlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    doLayout(rect, false);
}

QSize FlowLayout::sizeHint() const
{
    return minimumSize();
}

QSize FlowLayout::minimumSize() const
{
    QSize size;
    for (QLayoutItem *pItem : itemList)
        size = size.expandedTo(pItem->minimumSize());
    const QMargins margins = contentsMargins();
    size += QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
    return size;
}

int FlowLayout::doLayout(const QRect &rect, bool testOnly) const
{
    int left, top, right, bottom;
    getContentsMargins(&left, &top, &right, &bottom);
    const QRect effectiveRect = rect.adjusted(+left, +top, -right, -bottom);
    int x = effectiveRect.x();
    int y = effectiveRect.y();
    int lineHeight = 0;

    for (QLayoutItem *pItem : itemList) {
        const QWidget *pWidget = pItem->widget();
        int spaceX = horizontalSpacing();
        if (spaceX == -1 && pWidget)
            spaceX = pWidget->style()->layoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton,
                                                     Qt::Horizontal);
        int spaceY = verticalSpacing();
        if (spaceY == -1 && pWidget)
            spaceY = pWidget->style()->layoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton,
                                                     Qt::Vertical);
        const QSize hint = pItem->sizeHint();
        int nextX = x + hint.width() + spaceX;
        if (nextX - spaceX > effectiveRect.right() && lineHeight > 0) {
            x = effectiveRect.x();
            y = y + lineHeight + spaceY;
            nextX = x + hint.width() + spaceX;
            lineHeight = 0;
        }
        if (!testOnly)
            pItem->setGeometry(QRect(QPoint(x, y), hint));
        x = nextX;
        lineHeight = qMax(lineHeight, hint.height());
    }
    return y + lineHeight - rect.y() + bottom;
}

int FlowLayout::smartSpacing(QStyle::PixelMetric pm) const
{
    QObject *pParent = this->parent();
    if (!pParent)
        return -1;
    if (pParent->isWidgetType()) {
        QWidget *pWidget = static_cast<QWidget *>(pParent);
        return pWidget->style()->pixelMetric(pm, nullptr, pWidget);
    }
    return static_cast<QLayout *>(pParent)->spacing();
}
