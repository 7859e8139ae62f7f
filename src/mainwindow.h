#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>

namespace Ui {
class MainWindow;
}

class CDeviceControl;
class CEditSceneMain;
class CRecvDeviceThread;
class CTcpDeviceThread;
class QMenu;
class QSerialPort;
class QTimer;
class QTranslator;
class QTreeWidgetItem;
class Zinferface;

// The device list window: lists the devices that announce themselves, owns
// one device worker per device (and one per serial port), switches devices on
// and off, opens the editor frame of a device's family, switches the UI
// language, and routes every device command ("slot_setDeviceCmd") to the
// worker of the device's serial.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // ---- seams for tests and the demo (set before the window is built) ----
    // TCP port the workers connect to (8089).
    static void setDevicePort(int nPort);
    static int devicePort();
    // UDP port and bind address of the discovery thread (11502, any IPv4 address).
    static void setDiscoveryPort(quint16 nPort, const QHostAddress &bindAddress = QHostAddress(QHostAddress::AnyIPv4));
    // Source of the serial port names of the TypeC tab; by default the
    // platform's list (QSerialPortInfo::availablePorts) and the paths named in
    // the environment variable VISTEL_SERIAL_PORTS. Tests give their own
    // (a pty is not enumerated by the platform). An empty function restores
    // the platform's list. The window's constructor calls it on a thread of
    // its own.
    static void setSerialPortLister(std::function<QStringList()> lister);
    static QStringList listSerialPorts();

    // ---- read access for tests ----
    CTcpDeviceThread *getCurrentDevice(const QString &strSerial) const;
    CDeviceControl *checkR4Exist(const QString &strSerial) const;
    QTreeWidgetItem *rootItem() const { return m_pRoot; }
    const QList<CTcpDeviceThread *> &deviceList() const { return m_listDevice; }
    const QList<QTreeWidgetItem *> &rowItems() const { return m_listitems; }
    int currentRowId() const { return m_nCurrentlyTreeWidgetItemId; }
    int language() const { return m_nLanguage; }
    // The Tarn frame, built here if it is not yet (none once the window has
    // closed).
    CEditSceneMain *editSceneMain();
    // Whether the Tarn frame has been built (without building it); its
    // property stack waits for the frame's first need.
    bool hasEditSceneMain() const { return m_pEditSceneMain; }
    Zinferface *zInterface() const { return m_pZinterface; }
    CRecvDeviceThread *recvDevice() const { return m_pRecvDevice; }
    CTcpDeviceThread *serialDevice() const { return pSerislportDevice; }
    QMenu *treeMenu() const { return m_pMenu; }

signals:
    void sig_stopThread();

public slots:
    void slot_newDevice(QStringList deviceInfo);
    void slot_setDeviceCmd(QString strSerial, QString strCmd, QByteArray &byte,
                           int nReadOrWrite = 1, int nSubIndex3 = 0);
    void slot_switchDeviceConnect(QString strSerial, bool bConnected, int nId);
    void slot_updateCurrentDevice(QString strSerial);
    void slot_updateCurrentZDevice(QString strSerial);
    void slot_getSystemDeviceName(QString strDeviceName);
    void slot_getSystemDeviceName(QString strDeviceName, QString strSerial);
    void slot_getConnectingType(QString devicename);
    void slot_getEditSingleTextItemstrTextLanguage(int nCanvasType, QString &retTextwidth,
                                                   QString &retTextheight);
    void slot_setButtonEnable();
    void slot_editScene(QString strSerial, QString strDeviceName, QString strDeviceType,
                        int m_nConnectingType = 0);
    void slot_ContextMenu();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private slots:
    void on_comboBoxLanguage_activated(int index);
    void on_RefreshPushButton_clicked();
    void on_SertalportBtn_clicked();

private:
    void initTree();
    void setMenu();
    void addR4Device(const QStringList &deviceInfo);
    void addZ7Device(const QStringList &deviceInfo);
    void addDeviceRow(const QStringList &deviceInfo, bool bTarn);
    void startupReads(CTcpDeviceThread *pDevice, bool bTarn);
    void menuAction(const QString &strAction);
    void retranslateForm();
    void setDeviceNameOnRow(int nRowId, const QString &strDeviceName);
    int rowIdOfSerial(const QString &strSerial) const;
    void addWorker(CTcpDeviceThread *pDevice);
    void removeWorker(CTcpDeviceThread *pDevice);
    void stopAllThreads();
    void applyLanguageToEditSceneMain();
    void buildEditSceneMainAfterPaint();
    static QString readStoredLanguage();

    QTreeWidgetItem *m_pRoot = nullptr;
    CEditSceneMain *m_pEditSceneMain = nullptr;
    Zinferface *m_pZinterface = nullptr;
    CRecvDeviceThread *m_pRecvDevice = nullptr;
    int m_nTreeWidgetItemId = 0;
    QMenu *m_pMenu = nullptr;
    QList<CTcpDeviceThread *> m_listDevice;
    QList<QTreeWidgetItem *> m_listitems;
    // Lookups by serial, so that an announcement or a command costs the same
    // with a thousand devices as with one: the first worker of a serial in
    // m_listDevice, the row id of a serial, and each row's widget.
    QHash<QString, CTcpDeviceThread *> m_workerOfSerial;
    QHash<QString, int> m_rowOfSerial;
    QList<QPointer<CDeviceControl>> m_listRowControls;
    int m_nCurrentlyTreeWidgetItemId = -1;
    int m_nLanguage = 0;
    int m_nConnectingType = 0;
    CTcpDeviceThread *pSerislportDevice = nullptr;
    Ui::MainWindow *ui = nullptr;
    QTranslator *m_pTranslator = nullptr;
    QTimer *m_pTimer = nullptr;
    QSerialPort *m_pSerialPort = nullptr;
    bool m_bThreadsStopped = false;
    bool m_bFramesClosed = false;
    bool m_bEditFrameScheduled = false;
};

#endif // MAINWINDOW_H
