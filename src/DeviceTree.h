#ifndef DEVICETREE_H
#define DEVICETREE_H

#include <QTreeWidget>

// The device list's tree. The item view answers every inserted row of a
// visible tree by laying out all rows and placing every row widget at once,
// which with a thousand devices costs milliseconds per row. Here an insertion
// only schedules that layout: it runs once for all the rows inserted before the
// event loop comes back, and anything that needs the layout sooner (a hit test,
// a row's rectangle) still gets it at once.
class CDeviceTree : public QTreeWidget
{
    Q_OBJECT
public:
    explicit CDeviceTree(QWidget *parent = nullptr);

protected:
    void rowsInserted(const QModelIndex &parent, int nStart, int nEnd) override;
    // A hidden tree (a window not shown yet, or closing) places no row
    // widgets: placing them walks every row for each row widget. They are
    // placed when the tree is shown.
    void updateEditorGeometries() override;
    void showEvent(QShowEvent *event) override;

private:
    bool m_bEditorsPending = false;
};

#endif // DEVICETREE_H
