#ifndef LAYOUTLISTWIDGET_H
#define LAYOUTLISTWIDGET_H

#include <QSet>
#include <QString>
#include <QWidget>

#include "QorGlobal.h"

class CBaseTableWidget;
class CDeviceItem;
class CustomHeaderView;
class SongsTableDelegate;

namespace Ui {
class LayoutListWidget;
}

// The list page of the source panel: a one-column table in which every row
// hosts one source row. Rows are matched by input id, never by position, and
// keep the order in which their inputs first arrived.
class CLayoutListWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CLayoutListWidget(QWidget *parent = nullptr);
    ~CLayoutListWidget() override;

    // The family whose menus the rows carry (see CFileListWidget::setDeviceFamily).
    void setDeviceFamily(const QString &strFamily);

    // Configures the table; called once by the panel.
    void initValue();
    // Updates the row showing the input's id, or appends a row for it.
    void addListItem(const QString &strSerial, InputSource *pInput);
    // Removes rows from the end until at most nCount remain.
    void deleteExtraItem(int nCount);
    // Removes every row whose input id is not among the given ids, keeping
    // the order of the others.
    void deleteItemsNotIn(const QSet<int> &ids);
    void deleteAllItem();
    // Removes the row at a position (not an input id).
    void deleteItemById(int nIndex);

    int rowCount() const;
    // The row widget at a position, or null.
    CDeviceItem *itemAt(int nRow) const;
    CBaseTableWidget *table() const;

private:
    void fillItem(CDeviceItem *pItem, const QString &strSerial, InputSource *pInput);

    QString m_strFamily;
    Ui::LayoutListWidget *ui;
    CustomHeaderView *deviceTableHeaderView = nullptr;
    SongsTableDelegate *deviceTableDelegate = nullptr;
    int currentSortColumn = 2;
    Qt::SortOrder currentSortOrder = Qt::AscendingOrder;
};

#endif // LAYOUTLISTWIDGET_H
