#ifndef NOFOCUSDELEGATE_H
#define NOFOCUSDELEGATE_H

#include <QStyledItemDelegate>

// Item delegate that paints items without the focus frame.
class CNoFocusDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit CNoFocusDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};

#endif // NOFOCUSDELEGATE_H
