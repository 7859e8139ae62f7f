#ifndef EDITFRAMEBASE_H
#define EDITFRAMEBASE_H

#include <QList>
#include <QMainWindow>
#include <QPair>
#include <QRect>
#include <QString>
#include <QSystemTrayIcon>
#include <QVector>

#include <functional>

struct DeviceInfo;
class CFileListWidget;
class CLockWidget;
class CProgramListWidget;
class CPropertyStack;
class CSysInfo;
class CTitleHelper;
class CTitleWidget;
class QLabel;
class QPushButton;
class QScreen;
class QScrollArea;
class QSplitter;
class QStatusBar;
class QThread;

// What the two editor frames (the Tarn family's and the Z family's) have in
// common: a frameless main window with its title row, a three-column work
// area (source panel over the scene list, the family's middle panel, the
// property stack), a version line in the status bar, a CPU/memory sampler in a
// thread of its own, the lock overlay and the title-row buttons. A frame binds
// one device and follows only that device; what it shows of the device's model
// is decided from the bound device's own record.
//
// A frame sets up its form, hands the title row to initFrame() and calls
// buildWorkArea() with a maker of its middle panel. Panels are hosted in named
// places of the work area ("programListPlace", "propertyPlace", and what the
// frame adds with makePlace()).
class CEditFrameBase : public QMainWindow
{
    Q_OBJECT
public:
    ~CEditFrameBase() override;

    DeviceInfo *currentDevice() const { return m_pCurrentDevice; }
    // The model text of the bound device ("Tarn-3", "Z7", ...); empty while none is bound.
    QString deviceModel() const;
    CFileListWidget *fileListWidget() const { return m_pListWidget; }
    CProgramListWidget *programListWidget() const { return m_pProgramListWidget; }
    CPropertyStack *propertyStack() const { return m_pPropertyStack; }
    // Adds the property stack to a frame built without it, set for the bound
    // device as binding sets it; nothing when the frame has one.
    void buildPropertyStack();
    CLockWidget *lockWidget() const { return m_pLockWidget; }
    bool isLocked() const { return m_bLock; }
    QThread *samplerThread() const { return m_pSysThread; }
    QLabel *versionLabel() const { return m_pVerInfo; }
    // The named place that hosts a panel, or null.
    QWidget *panelPlace(const QString &strName) const;

    // The area frames fit into instead of their screen's available area; empty (the default):
    // the screen's. For tests on a platform whose one screen is smaller than a desktop's.
    static void setScreenAreaOverride(const QRect &rtArea);

    // Releases the panels of the work area and writes the closing log line;
    // the frame's destructor runs it.
    void destroy();

signals:
    void sig_startThread();

public slots:
    void slot_unLock();
    void slot_activateMain(bool bIsMin);
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void slot_doubleclick_max();
    void on_btnMin_clicked();
    void on_btnNormalMax_clicked();
    void on_btnClose_clicked();
    void on_btnLock_clicked();

protected:
    // The widgets of the frame's form that the shared behaviour works with.
    struct FormParts
    {
        CTitleWidget *pTitle = nullptr;
        QLabel *pLogo = nullptr;
        QPushButton *pFile = nullptr;
        QPushButton *pSet = nullptr;
        QPushButton *pHelp = nullptr;
        QPushButton *pLock = nullptr;
        QPushButton *pMin = nullptr;
        QPushButton *pNormalMax = nullptr;
        QPushButton *pClose = nullptr;
        QWidget *pCentral = nullptr;    // holds the placeholder in its layout
        QWidget *pMainWidget = nullptr; // the placeholder the work area replaces
        QStatusBar *pStatus = nullptr;
    };
    // The parts of a frame's form; both families' forms name them alike.
    template <typename Form>
    static FormParts formParts(Form *pForm)
    {
        FormParts parts;
        parts.pTitle = pForm->widgetTitle;
        parts.pLogo = pForm->labelLogo;
        parts.pFile = pForm->btnFile;
        parts.pSet = pForm->btnSet;
        parts.pHelp = pForm->btnHelp;
        parts.pLock = pForm->btnLock;
        parts.pMin = pForm->btnMin;
        parts.pNormalMax = pForm->btnNormalMax;
        parts.pClose = pForm->btnClose;
        parts.pCentral = pForm->centralwidget;
        parts.pMainWidget = pForm->mainWidget;
        parts.pStatus = pForm->statusbar;
        return parts;
    }

    // strFamily: "Tarn" or "Z", the family of the devices edited here.
    CEditFrameBase(const QString &strFamily, QWidget *parent);

    // The window behaviour: move/resize filter, frameless flags, title double
    // click, the title-row buttons' looks (menus' buttons hidden), the screens,
    // and the sampler thread, set going by sig_startThread.
    void initFrame(const FormParts &parts);
    // Builds the work area around the family's middle panel, made by fnMiddle
    // under the parent it is given, and puts it in the placeholder's stead.
    // Every panel is made under the widget that shows it: under the program's
    // style sheet a widget that changes parent is styled again, subtree and all.
    void buildWorkArea(const std::function<QWidget *(QWidget *)> &fnMiddle);
    // The widget whose minimum size (its form's) gives way first when the frame's minimum is
    // larger than the screen's available area; it keeps at least half of it.
    void setYieldingPanel(QWidget *pPanel);
    // The frame opens centred on the primary screen's available area (else where it was placed).
    void setOpensCentred(bool bCentred) { m_bOpensCentred = bCentred; }
    static QWidget *makePlace(const QString &strName, QWidget *pParent);
    static void hostPanel(QWidget *pPlace, QWidget *pPanel);
    void addPlace(QWidget *pPlace) { m_listPlaces.append(pPlace); }
    // The property stack in its place, made on first need.
    void ensurePropertyStack();
    // The text of the version line (the status labels are made on first use).
    void setVersionText(const QString &strText);

    // Binding: the device, its inputs in the source panel and the property
    // stack, and one card per stored scene (id, name).
    using CardList = QVector<QPair<int, QString>>;
    void bindDevice(DeviceInfo *device, const CardList &listCards);
    void fillProgramCards(const CardList &listCards);
    bool isBoundTo(const QString &strSerial) const;
    // An input refresh of the bound device, while the frame shows; false when it was not taken.
    bool refreshInputs(DeviceInfo *device, const QString &strSerial);

    // Every serial port closes and the frame hides; a family adds its ending.
    virtual void closeMain();
    // The maximise button is about to show the frame normal again.
    virtual void leavingMaximised() {}
    // The family's own panels go before the shared ones (destroy()).
    virtual void releaseFamilyPanels() {}

    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    // A frame shown normal opens entirely within its screen's available area.
    void showEvent(QShowEvent *event) override;

    QList<QRect> m_listRtDesktop;
    CFileListWidget *m_pListWidget = nullptr;
    QWidget *m_pProgramListPlace = nullptr;
    CProgramListWidget *m_pProgramListWidget = nullptr;
    QWidget *m_pPropertyPlace = nullptr;
    CPropertyStack *m_pPropertyStack = nullptr;
    DeviceInfo *m_pCurrentDevice = nullptr; // not owned: its worker owns it

    // A splitter of the work area: handle width 5, children not collapsible.
    static QSplitter *makeSplitter(Qt::Orientation orientation, const QString &strTitle, QWidget *pParent);

private:
    void startSampler();
    void stopSampler();
    // Gives the columns 2 : 5 : 2 of the work area's width and the source panel
    // and the scene list 5 : 3 of the left column, each at least its minimum;
    // done again whenever the frame's size changes (also maximised).
    void scheduleWorkAreaShares();
    void applyWorkAreaShares();
    // Fits the frame into the available area of its screen (of the primary screen for a frame
    // that opens centred, at its first show): the minimums give way where the area is smaller
    // (yieldTo), the frame is at most the area's size, and one that would stand out is moved
    // back, centred on the area.
    void fitIntoScreen();
    void yieldTo(const QSize &szRoom);
    // The available area of a screen (or the override).
    static QRect screenArea(const QScreen *pScreen);
    // Shows the maximised frame normal, moved back within the screen's area where its bounds
    // made it larger.
    void showNormalWithinScreen();
    // The property column scrolls, its minimum height nBy lower.
    bool scrollPropertyColumn(int nBy);

    QString m_strFamily;
    FormParts m_form;
    QList<QWidget *> m_listPlaces;
    QSplitter *m_pMainSplitter = nullptr;
    QSplitter *m_pLeftSplitter = nullptr;
    bool m_bSharesPending = false;
    QWidget *m_pYieldingPanel = nullptr;
    QSize m_szYieldingForm;
    QScrollArea *m_pPropertyScroll = nullptr;
    bool m_bOpensCentred = false;
    bool m_bPlaced = false;
    bool m_bLock = false;
    CLockWidget *m_pLockWidget = nullptr;
    QLabel *m_pLabelSysInfo = nullptr;
    QLabel *m_pVerInfo = nullptr;
    CSysInfo *m_pSysInfo = nullptr;
    QThread *m_pSysThread = nullptr;
    CTitleHelper *m_titleHelper = nullptr;
};

#endif // EDITFRAMEBASE_H
