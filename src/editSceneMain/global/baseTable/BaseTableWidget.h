#ifndef BASETABLEWIDGET_H
#define BASETABLEWIDGET_H

#include <QIcon>
#include <QTableWidget>
#include <QVariant>

// List-like table: whole-row single selection, no grid, headers, editing or
// keyboard focus; scroll bars that float over the contents; cell helpers; rows
// reordered by dropping one row onto another.
class CBaseTableWidget : public QTableWidget
{
    Q_OBJECT
public:
    explicit CBaseTableWidget(QWidget *parent = nullptr);
    CBaseTableWidget(int rows, int columns, QWidget *parent = nullptr);

    void setItemText(int row, int column, QString text,
                     int alignment = Qt::AlignLeft | Qt::AlignVCenter);
    QString getItemText(int row, int column);
    void setItemIcon(int row, int column, QIcon &icon);
    void setItemWidget(int row, int column, QWidget *widget, bool isCenteredLayout = false);
    QWidget *getItemWidget(int row, int column, bool isCenteredLayout = false);
    void setItemData(int row, int column, QVariant variant, int role = Qt::UserRole);
    QVariant getItemData(int row, int column, int role = Qt::UserRole);

    void setColumnAutoNumber(int column, int firstNumber = 1);
    void setColWidthRowHeight(int columnWidth, int rowHeight);

    // Let the scroll bars float over the contents; the width arguments are kept
    // for callers and have no effect.
    void setVerScrollBarSuspension(int verScrollBarActualWidth, int verScrollBarVisibleWidth,
                                   bool verScrollBarAsNeeded);
    void setHorScrollBarSuspension(int HorScrollBarActualWidth, int HorScrollBarVisibleWidth,
                                   bool HorScrollBarAsNeeded);

signals:
    void sig_startDrag(int nIndex);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private slots:
    void verticalScrollBarRangeChangedSlot(int min, int max);
    void horizontalScrollBarRangeChangedSlot(int min, int max);

private:
    void initTableProperty();

    bool m_bDrag;
    bool verScrollBarSuspensionFlag;
    bool horScrollBarSuspensionFlag;
};

#endif // BASETABLEWIDGET_H
