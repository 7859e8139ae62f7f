#ifndef BACKCANVASWIDGET_H
#define BACKCANVASWIDGET_H

// CBackCanvasWidget - the screen and canvas page: the LED screen's size in
// device pixels, the canvas size (and, for large screens, the refresh rate)
// derived from it, and the device name. Applying a new screen size clears the
// live scene's layers on the canvas and in the device and sends the new size;
// applying a changed name sends the name (12-byte GBK field).
//
// Only an operator's edit of the screen size arms the screen step; binding a
// canvas fills the fields and arms nothing. The screen fields as they stand
// and the canvas size are validated before anything is cleared.
//
// The device has the last word on the screen size ("slot_tarnScreenHeld" from
// its worker): the page shows the size the device holds. An OSD item the apply
// took off the canvas comes back with the worker's hand-back of the OSD state.
//
// In a frame the page serves the device the frame is bound to (setServedSerial): it shows no
// canvas of another device, and its Apply writes to the bound device only. With no canvas of its
// device (its scenes not read) Apply sends nothing and says so.

#include <QPointer>
#include <QWidget>

class CSceneBackCanvas;
class QGraphicsItem;

namespace Ui {
class backCanvasWidget;
}

class CBackCanvasWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CBackCanvasWidget(QWidget *parent = nullptr);
    ~CBackCanvasWidget() override;

    void setWidgetData(QGraphicsItem *pItem);
    // The device the hosting frame is bound to: a canvas of another device is let go.
    void setServedSerial(const QString &strSerial);
    void getDeviceName(QString strName);
    void sendDeviceCmd();
    void sendDeviceNameChangeCmd();

    // The canvas size for a screen size and the refresh rate it needs (integer arithmetic).
    static int canvasWidthFor(int nScreenW, int nScreenH, int &nHz);

    CSceneBackCanvas *canvas() const { return m_pCanvasGuard ? m_pCanvas : nullptr; }
    bool isArmed() const { return m_baccent; }
    int refreshRate() const { return m_nHZ; }
    Ui::backCanvasWidget *form() const { return ui; }

public slots:
    void slot_tarnScreenHeld(QString strSerial, int nWidth, int nHeight);

private slots:
    void on_systemsettoolButton_clicked();
    void on_checkBox_stateChanged(int arg1);

private:
    void onScreenSizeChanged();
    // True when the screen edits hold a screen size in range.
    bool screenFieldsValid() const;
    // Fills the canvas edits from the screen edits; false when they hold no valid screen.
    bool applyScreenRule();
    // No canvas: the screen and canvas fields are emptied, nothing armed.
    void letGoOfCanvas();
    void sendName();
    // The name the device holds (as its records say, else as the page was last given it) in the
    // name field again, in place of one typed and not sent.
    void showHeldName();

    Ui::backCanvasWidget *ui;
    QString m_strSerial;
    QString m_strHeldName; // the name the page was last given
    CSceneBackCanvas *m_pCanvas = nullptr;
    QPointer<QObject> m_pCanvasGuard; // null once the bound canvas is gone
    bool m_bOpen = true;
    int m_nHZ = 60;
    bool m_baccent = false;
};

#endif // BACKCANVASWIDGET_H
