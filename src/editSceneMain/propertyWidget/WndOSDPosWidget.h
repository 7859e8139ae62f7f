#ifndef WNDOSDPOSWIDGET_H
#define WNDOSDPOSWIDGET_H

// WndOSDPosWidget - the OSD position pane: the selected OSD item's left edge X,
// top edge Y, width W and height H in device pixels. An edit moves or resizes
// the item at once when it holds an acceptable value (an intermediate or empty
// text leaves the item as it is); the OSD apply reads the four values.

#include <QPointer>
#include <QWidget>

class QGraphicsItem;

namespace Ui {
class WndOSDPosWidget;
}

class WndOSDPosWidget : public QWidget
{
    Q_OBJECT
public:
    explicit WndOSDPosWidget(QWidget *parent = nullptr);
    ~WndOSDPosWidget() override;

    // Binds a non-null item and shows its geometry (X and Y only when bShowPos).
    void setItemData(QGraphicsItem *pItem, bool bShowPos);
    void setCurrentItem(QGraphicsItem *pItem);
    QGraphicsItem *item() const;

    int getItemCurrentX();
    int getItemCurrentY();
    int getItemCurrentWidth();
    int getItemCurrentHeight();
    void setNCurrentWidth(int nWidth);
    void getItemRotation(double dAngle);
    Ui::WndOSDPosWidget *form() const { return ui; }

public slots:
    void getX(const QString &strText);
    void getY(const QString &strText);
    void getW(const QString &strText);
    void getH(const QString &strText);

private:
    // The bound item while it exists.
    QGraphicsItem *boundItem() const;
    QPointF centreOffset(QGraphicsItem *pItem) const;

    QGraphicsItem *m_pItem = nullptr;
    QPointer<QObject> m_pItemGuard;
    double m_dX = 0, m_dY = 0, m_dWidth = 0, m_dHeight = 0, m_dRota = 0;
    int m_nCurrentWidth = 0;
    int m_nCurrentHeight = 0;
    int m_nCurrentX = 0;
    int m_nCurrentY = 0;
    Ui::WndOSDPosWidget *ui;
};

#endif // WNDOSDPOSWIDGET_H
