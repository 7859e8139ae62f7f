#ifndef WNDLINEWIDGET_H
#define WNDLINEWIDGET_H

// CWndLineWidget - the layer transparency page: each transparency change (a
// typed value once its edit completes, a slider move, an arrow step) is
// written into the selected layer window and sent to the device (layer command
// sub-command 30). Its border, colour and input crop rows are hidden.

#include <QColor>
#include <QPointer>
#include <QWidget>

class CEditSingleTextItem;
class QGraphicsItem;

namespace Ui {
class wndLineWidget;
}

class CWndLineWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CWndLineWidget(QWidget *parent = nullptr);
    ~CWndLineWidget() override;

    // Binds and loads a layer window; loading sends nothing. Null changes nothing.
    void setCurrentItem(QGraphicsItem *pItem);
    CEditSingleTextItem *item() const;

    void getLineWidth(int nWidth);
    void getLineColor();
    void setLineBtnBkColor();
    void setTransBtnBkColor();
    void getTransColor(QColor color) { Q_UNUSED(color) }
    void getTrans(int nValue) { Q_UNUSED(nValue) }
    Ui::wndLineWidget *form() const { return ui; }

private slots:
    void on_btnColor_clicked();
    void on_btnTransColor_clicked();
    void on_systemsettoolButton_clicked();
    void on_pushButton_clicked();

private:
    void onSpinTrans(int v);
    void onSliderTrans(int v);
    bool applyTrans(int v);
    // The crop fields show the layer's crop in device pixels (the whole layer when it has none).
    void showCrop();

    QColor m_lineColor = QColor(255, 0, 0);
    QColor m_transColor;
    QPointer<CEditSingleTextItem> m_pItem;
    bool m_bOpen = true;
    Ui::wndLineWidget *ui;
};

#endif // WNDLINEWIDGET_H
