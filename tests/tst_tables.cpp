#include "TestMain.h"

#include <QLabel>
#include <QMimeData>
#include <QScrollBar>

#include "BaseTableWidget.h"
#include "CustomHeaderView.h"
#include "NoFocusDelegate.h"
#include "SongsTableDelegate.h"

// The table with its drop handler reachable: a synthetic drop sent through the
// application would need a drag in progress.
class DropTable : public CBaseTableWidget
{
public:
    using CBaseTableWidget::dropEvent;
};

// Drops at the centre of the given row (or below the rows for -1).
static void dropOnRow(DropTable &table, int nRow)
{
    QPoint pt;
    if (nRow >= 0)
        pt = table.visualItemRect(table.item(nRow, 0)).center();
    else
        pt = QPoint(5, table.viewport()->height() - 2);
    QMimeData mime;
    QDropEvent drop(pt, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    table.dropEvent(&drop);
}

static QStringList columnTexts(CBaseTableWidget &table, int nColumn = 0)
{
    QStringList list;
    for (int r = 0; r < table.rowCount(); ++r)
        list << table.getItemText(r, nColumn);
    return list;
}

class TestTables : public QObject
{
    Q_OBJECT

    void fill(CBaseTableWidget &table)
    {
        table.setColumnCount(2);
        table.setRowCount(3);
        for (int r = 0; r < 3; ++r) {
            table.setItemText(r, 0, QString::number(r));
            table.setItemText(r, 1, QString("c%1").arg(r));
        }
        table.resize(200, 300);
        table.setColWidthRowHeight(100, 30);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
    }

private slots:
    void setupProperties()
    {
        CBaseTableWidget table;
        QCOMPARE(table.focusPolicy(), Qt::NoFocus);
        QVERIFY(table.dragEnabled());
        QVERIFY(!table.showGrid());
        QCOMPARE(table.editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(table.selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(table.selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(table.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        CBaseTableWidget table2(4, 2);
        QCOMPARE(table2.rowCount(), 4);
        QCOMPARE(table2.selectionBehavior(), QAbstractItemView::SelectRows);
    }

    void dropReordersRows_data()
    {
        QTest::addColumn<int>("src");
        QTest::addColumn<int>("dst");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("0 onto 2") << 0 << 2 << QStringList{"1", "2", "0"};
        QTest::newRow("2 onto 0") << 2 << 0 << QStringList{"2", "0", "1"};
        QTest::newRow("1 onto itself") << 1 << 1 << QStringList{"0", "1", "2"};
        QTest::newRow("0 below the rows") << 0 << -1 << QStringList{"1", "2", "0"};
    }

    void dropReordersRows()
    {
        QFETCH(int, src);
        QFETCH(int, dst);
        QFETCH(QStringList, order);
        DropTable table;
        fill(table);
        table.setCurrentCell(src, 0);
        dropOnRow(table, dst);
        QCOMPARE(table.rowCount(), 3);
        QCOMPARE(columnTexts(table, 0), order);
        // The second column moves with its row.
        for (int r = 0; r < 3; ++r)
            QCOMPARE(table.getItemText(r, 1), "c" + table.getItemText(r, 0));
    }

    void dropWithoutCurrentRowChangesNothing()
    {
        DropTable table;
        fill(table);
        table.setCurrentCell(-1, -1);
        QCOMPARE(table.currentRow(), -1);
        dropOnRow(table, 1);
        QCOMPARE(table.rowCount(), 3);
        QCOMPARE(columnTexts(table), (QStringList{"0", "1", "2"}));
    }

    void cellHelpers()
    {
        CBaseTableWidget table(2, 2);
        QCOMPARE(table.getItemText(0, 0), QString());
        QVERIFY(!table.getItemData(0, 0).isValid());
        table.setItemData(0, 0, 42);
        QCOMPARE(table.getItemData(0, 0).toInt(), 42);
        table.setItemText(0, 0, "a", Qt::AlignCenter);
        QCOMPARE(table.getItemText(0, 0), QString("a"));
        QCOMPARE(table.getItemData(0, 0).toInt(), 42); // same item kept
        QCOMPARE(table.item(0, 0)->textAlignment(), int(Qt::AlignCenter));

        // Hosted widgets, with and without the centring container.
        QLabel *pPlain = new QLabel("plain");
        table.setItemWidget(1, 0, pPlain, false);
        QCOMPARE(table.getItemWidget(1, 0, false), pPlain);
        QVERIFY(!table.getItemWidget(1, 0, true)); // no child named cellWidget
        QLabel *pCentred = new QLabel("centred");
        table.setItemWidget(1, 1, pCentred, true);
        QCOMPARE(table.getItemWidget(1, 1, true), pCentred);
        QCOMPARE(pCentred->objectName(), QString("cellWidget"));
        QVERIFY(table.getItemWidget(1, 1, false) != pCentred);
        QVERIFY(!table.getItemWidget(0, 1, false));

        // Text on a cell that hosts a widget removes the widget.
        table.setItemText(1, 0, "text");
        QVERIFY(!table.getItemWidget(1, 0, false));
        QCOMPARE(table.getItemText(1, 0), QString("text"));
        QIcon icon(QPixmap(4, 4));
        table.setItemIcon(1, 1, icon);
        QVERIFY(!table.cellWidget(1, 1));
        QVERIFY(!table.item(1, 1)->icon().isNull());

        table.setColumnAutoNumber(1, 5);
        QCOMPARE(table.getItemText(0, 1), QString("5"));
        QCOMPARE(table.getItemText(1, 1), QString("6"));
    }

    void floatingScrollBars()
    {
        CBaseTableWidget table;
        table.setColumnCount(1);
        table.setRowCount(2);
        table.setColWidthRowHeight(100, 30);
        table.resize(120, 200);
        table.setVerScrollBarSuspension(9, 9, true);
        table.setHorScrollBarSuspension(56, 9, true);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        QScrollBar *pBar = table.verticalScrollBar();
        QCOMPARE(pBar->parentWidget(), static_cast<QWidget *>(&table));
        QVERIFY(!pBar->isVisible()); // the list fits
        QCOMPARE(pBar->width(), 15);
        QCOMPARE(pBar->geometry(), QRect(120 - 15, 0, 15, 200));
        QCOMPARE(table.horizontalScrollBar()->geometry(), QRect(0, 200 - 20, 120, 20));

        table.setRowCount(40); // now it overflows
        QTRY_VERIFY(pBar->isVisible());
        table.setRowCount(1);
        QTRY_VERIFY(!pBar->isVisible());

        table.setVerScrollBarSuspension(9, 9, false); // always shown
        QVERIFY(pBar->isVisible());
        table.setRowCount(40);
        table.setRowCount(1);
        QTest::qWait(10);
        QVERIFY(pBar->isVisible()); // no longer follows the range
    }

    void headerHostsWidgets()
    {
        CBaseTableWidget table(1, 2);
        CustomHeaderView *pHeader = new CustomHeaderView(Qt::Horizontal, &table);
        table.setHorizontalHeader(pHeader);
        pHeader->setVisible(true);
        QLabel *pLabel = new QLabel("h");
        pHeader->setHeaderViewWidget(pLabel, 1);
        QCOMPARE(pLabel->parentWidget(), static_cast<QWidget *>(pHeader));
        table.resize(300, 100);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        QTRY_VERIFY(pLabel->isVisible());
        QCOMPARE(pLabel->geometry().x(), pHeader->sectionViewportPosition(1));
        pHeader->setSectionHidden(1, true);
        QVERIFY(!pLabel->isVisible());
        QVERIFY(pHeader->isSectionHidden(1));
        pHeader->setHeaderViewWidget(nullptr, 1); // replacing with none is harmless
        pHeader->setSectionHidden(1, false);
        QVERIFY(!pHeader->isSectionHidden(1));
    }

    void delegatesPaint()
    {
        CBaseTableWidget table(2, 1);
        table.setItemText(0, 0, "x");
        table.setItemDelegate(new SongsTableDelegate(&table));
        table.setCurrentCell(0, 0);
        table.resize(100, 100);
        QImage img1(table.size(), QImage::Format_ARGB32);
        table.render(&img1);
        table.setItemDelegate(new CNoFocusDelegate(&table));
        QImage img2(table.size(), QImage::Format_ARGB32);
        table.render(&img2);
        QVERIFY(!img2.isNull());
    }
};

VISTEL_TEST_MAIN(TestTables)
#include "tst_tables.moc"
