#ifndef PROPERTYSTACK_H
#define PROPERTYSTACK_H

// CPropertyStack - the right-hand property panel of an editor frame. It shows
// one page at a time, following the canvas selection through the hub: the
// layer drawer for a layer window, the screen page for the screen and
// background canvas, the Z-family device page, and the OSD page for an OSD
// text item. Its apply buttons hand the page's values to the device; the OSD
// apply renders the selected OSD item to a one-bit bitmap and transfers it
// (COSDTransfer). Only the stack that started a transfer answers the worker's
// transfer notifications and the transfer's speed hold and restore
// ("slot_SetOSDTextSpeed"), which it hands to its own text page.

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include "QorGlobal.h"

class CBackCanvasWidget;
class CDeviceRecords;
class CDrawerWidget;
class CEditAudioItem;
class COSDTransfer;
class COtherWidget;
class CTextWidget;
class CWndLineWidget;
class CWndPosWidget;
class EditOSDItem;
class OSDWidget;
class QGraphicsItem;
class QGraphicsRectItem;
class QTimer;
class QTranslator;
class WndOSDPosWidget;
class CEditPixmapItem;
class CEditVideoItem;
class CEditRichTextItem;
class CEditMultiLineTextItem;
class CEditSingleTextItem;
class CEditAnalogClockItem;
class CEditDigitalClockItem;
class CEditCoutDownTimingItem;
class CEditPositiveTimingItem;
class CEditWeatherItem;

namespace Ui {
class propertyStack;
}

class CPropertyStack : public QWidget
{
    Q_OBJECT
public:
    explicit CPropertyStack(QWidget *parent = nullptr);
    ~CPropertyStack() override;

    void setInputSourceData(QVector<InputSource *> &vec);
    // The model text of the device the hosting frame edits; the layer page
    // decides its source rules by it, also after the pages are rebuilt.
    void setDeviceModel(const QString &strModel);
    // The device the hosting frame edits: its serial (empty until one is bound)
    // and family ("Tarn", "Z"). Such a stack follows selections of its device's
    // scenes only; a stack that serves nothing follows every selection.
    void setServedDevice(const QString &strSerial, const QString &strFamily);

    // Hooks that do nothing.
    void setWndLight() {}
    void setPixmapData(CEditPixmapItem *) {}
    void setVideoData(CEditVideoItem *) {}
    void setVideoData() {}
    void setRichTextData(CEditRichTextItem *) {}
    void setMultiLineTextData(CEditMultiLineTextItem *) {}
    void setSingleTextData(CEditSingleTextItem *) {}
    void setAudioData() {}
    void setAnalogClockData(CEditAnalogClockItem *) {}
    void setDigitalClockData(CEditDigitalClockItem *) {}
    void setCoutdownTimingData(CEditCoutDownTimingItem *) {}
    void setPositiveTimingData(CEditPositiveTimingItem *) {}
    void setWeatherData(CEditWeatherItem *) {}
    void setPlayWndData(QGraphicsRectItem *) {}

    // ---- for the frames and tests
    Ui::propertyStack *form() const { return ui; }
    CDrawerWidget *drawerWidget() const { return m_pDrawerWidget; }
    CBackCanvasWidget *backCanvasWidget() const { return m_pBackCanvasWidget; }
    CWndPosWidget *wndPosWidget() const { return m_pWndPosWidget; }
    CWndLineWidget *wndLineWidget() const { return m_pWndLineWidget; }
    WndOSDPosWidget *wndOSDPosWidget() const { return m_pWndOSDPosWidget; }
    OSDWidget *osdWidget() const { return m_pOSDWidget; }
    CTextWidget *textWidget() const { return m_pTextWidget; }
    QWidget *tipsWidget() const { return m_pTipsWidget; }
    COSDTransfer *osdTransfer() const { return m_pOSDTransfer; }
    int currentIndex() const { return m_nCurrentIndex; }
    QGraphicsItem *selectedItem() const;
    const QImage &osdImage() const { return m_OSDimage; }

public slots:
    void slot_propertyDataChange(QGraphicsItem *item);
    void slot_updateItemPos(bool bUpdataPos);
    void slot_updateDeviceName(QString DeviceName);
    void slot_updatePropertyStacklanguage(int nlanguage);
    void slot_sendOSDdate(int pack);
    void slot_sendbeginOSDdate();
    void slot_SetOSDTextSpeed(int nSpeed);

private slots:
    void on_btnWindow_clicked();
    void on_OSDApplication_clicked();
    void on_LayerApplication_clicked();
    void on_ZApplication_clicked();
    void on_Application_clicked();

private:
    void initWidget();
    void showServedDevice();
    void showPageAfterSwitch(int nShown);
    bool isTarnStack() const;
    const CDeviceRecords *servedRecords() const;
    void setShowWidget();
    void setItemProperty();
    // Whether a selection (null: cleared) the hub reports is this stack's to show.
    bool followsSelection(QGraphicsItem *pItem) const;
    void retranslateTexts();
    // Renders the OSD item white on black, scaled to w x h.
    QImage renderOSDImage(EditOSDItem *pItem, int nWidth, int nHeight);
    void osdMessage(const QString &strText);
    void onTransferFinished(bool bOk, const QString &strReason);

    Ui::propertyStack *ui;
    CDrawerWidget *m_pDrawerWidget = nullptr;
    CBackCanvasWidget *m_pBackCanvasWidget = nullptr;
    CWndPosWidget *m_pWndPosWidget = nullptr;
    CWndLineWidget *m_pWndLineWidget = nullptr;
    WndOSDPosWidget *m_pWndOSDPosWidget = nullptr;
    OSDWidget *m_pOSDWidget = nullptr;
    CTextWidget *m_pTextWidget = nullptr;
    QWidget *m_pTipsWidget = nullptr;
    QGraphicsItem *m_pItem = nullptr;
    QPointer<QObject> m_pItemGuard;   // the selected item's object, null once it is gone
    bool m_bItemHasObject = false;
    int m_nCurrentIndex = 0;
    bool m_bUpdatePos = false;
    QTranslator *m_pTranslator = nullptr;
    QColor m_CurrentfontColor;
    QColor m_CurrentbkColor;
    QImage m_OSDimage;
    QStringList m_list;
    int m_nbytescount = 0;
    int m_ncurrentpack = 0;
    COSDTransfer *m_pOSDTransfer = nullptr;
    int m_nEnteredWidth = 0;
    // This stack's transfer and its text page's speed: the hold goes out, then it is held until
    // the restore.
    enum SpeedHold { SpeedFree, SpeedHolding, SpeedHeld };
    SpeedHold m_speedHold = SpeedFree;
    int m_nPageLanguage = 0; // the language the pages were built in
    QString m_strDeviceModel;
    QString m_strServedSerial;
    QString m_strServedFamily;
    QString m_strDeviceName; // the name "slot_updateDeviceName" gave last
    QString m_strOsdSerial;  // the device of the last OSD apply
};

#endif // PROPERTYSTACK_H
