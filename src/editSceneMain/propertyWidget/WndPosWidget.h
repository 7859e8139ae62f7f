#ifndef WNDPOSWIDGET_H
#define WNDPOSWIDGET_H

// CWndPosWidget - the layer position and main source page: the selected layer
// window's X, Y, W and H in device pixels and its main input source. An edit
// is applied when it is complete (Enter, leaving the field, a spin step), after
// the live-scene check, and sent through the layer's own commands. Which
// source changes are checked for conflicts follows the model text of the
// edited device, given by the frame that hosts the page.

#include <QPointer>
#include <QVector>
#include <QWidget>

#include "QorGlobal.h"

class CEditBaseScene;
class CEditSingleTextItem;
class QGraphicsItem;

namespace Ui {
class wndPosWidget;
}

class CWndPosWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CWndPosWidget(QWidget *parent = nullptr);
    ~CWndPosWidget() override;

    void setInputSource(QVector<InputSource *> &vec);
    void setItemData(QGraphicsItem *pItem);
    void setItemPos(bool bUpdatePos);
    CEditSingleTextItem *item() const;
    // The model text of the edited device ("Tarn-3", ...); empty: sources are checked.
    void setDeviceModel(const QString &strModel) { m_strModel = strModel; }
    QString deviceModel() const { return m_strModel; }

    QString getMainSigInputSource(int nId) const;
    void getItemRotation(double dAngle);

    // The check every layer command of the property pages makes first: true when the layer's
    // scene is the one the device shows (or the layer is in none). Otherwise the recall is
    // offered on behalf of pPanel and false returned: the edit is not sent, whatever the answer.
    static bool layerSceneIsLive(QWidget *pPanel, CEditSingleTextItem *pLayer);
    Ui::wndPosWidget *form() const { return ui; }

public slots:
    void slot_Getposinformation(int &dPosX, int &dPosY);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_RefreshPushButton_clicked();

private:
    CEditBaseScene *layerScene() const;
    QPointF centreOffset() const;
    // True when the layer's scene is the device's live scene; otherwise offers to recall it.
    bool takeSceneCheck();
    // takeSceneCheck for a position or size edit; a refused edit shows the layer's geometry again.
    bool geometryEditAllowed();
    void sendGeometry(bool bCanvasRule);
    int comboIndexOfSource(int nId) const;
    void selectSource(int nId);

    void onX(int v);
    void onY(int v);
    void onW(int v);
    void onH(int v);
    void onMainSig(int i);
    void onLayerState(int i);

    bool m_bTake = false;
    QPointer<CEditSingleTextItem> m_pItem;
    qreal m_dX = 0, m_dY = 0, m_dWidth = 0, m_dHeight = 0, m_dRota = 0;
    QString m_strName;
    QString m_strModel;
    QVector<InputSource *> m_vectorInput;
    Ui::wndPosWidget *ui;
};

#endif // WNDPOSWIDGET_H
