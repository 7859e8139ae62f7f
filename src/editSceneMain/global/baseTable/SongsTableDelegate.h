#ifndef SONGSTABLEDELEGATE_H
#define SONGSTABLEDELEGATE_H

#include <QPixmap>
#include <QStyledItemDelegate>

// Item delegate holding the check-box images; it paints as the base delegate.
class SongsTableDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit SongsTableDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    QPixmap uncheckedPixmap;
    QPixmap checkedPixmap;
    QPixmap lovingPixmap;
    QPixmap lovedPixmap;
};

#endif // SONGSTABLEDELEGATE_H
