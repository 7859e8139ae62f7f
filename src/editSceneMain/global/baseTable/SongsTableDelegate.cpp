#include "SongsTableDelegate.h"

SongsTableDelegate::SongsTableDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
    uncheckedPixmap = QPixmap(":/res/res/image/unchecked.png")
                          .scaled(26, 26, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    checkedPixmap = QPixmap(":/res/res/image/checked.png")
                        .scaled(26, 26, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void SongsTableDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                               const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
}
