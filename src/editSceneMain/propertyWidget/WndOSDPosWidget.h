#ifndef WNDOSDPOSWIDGET_H
#define WNDOSDPOSWIDGET_H

// WndOSDPosWidget - the OSD position pane: the selected OSD item's left edge X,
// top edge Y, width W and height H in device pixels. A typed value moves or
// resizes the item when its edit completes (Return, leaving the field) with a
// value the field accepts, and the field then shows what the item took; an
// intermediate or empty text leaves the item as it is. The OSD apply takes the
// typed values first (applyTypedEdits) and then reads the four fields.

#include <QPointer>
#include <QWidget>

class QGraphicsItem;
class QLineEdit;

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
    // Applies the values typed but not yet completed and shows the item's geometry in all four
    // fields; false, with nothing applied, when a typed value is one its field does not accept
    // (empty, a lone sign, out of range) or no item is bound.
    bool applyTypedEdits();
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
    // Reads the item's position and size (scene units) into m_dX .. m_dRota.
    void readItem(QGraphicsItem *pItem);
    // The last read value of that field in device pixels, as text.
    QString shownText(QLineEdit *pEdit) const;
    // Writes it into the field; true when the text changed.
    bool showField(QLineEdit *pEdit);
    void onEditingFinished(QLineEdit *pEdit);
    // A completed edit: the value goes to the item and the field shows what the item took.
    void applyEdit(QLineEdit *pEdit);

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
