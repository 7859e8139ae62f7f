#ifndef FILELISTWIDGET_H
#define FILELISTWIDGET_H

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include "QorGlobal.h"

class QTimer;
class QTranslator;
class QDragEnterEvent;
class QDropEvent;
class CLayoutListWidget;
class CLayoutCardWidget;

namespace Ui {
class CFileListWidget;
}

// The input-source section of an editor frame's left column. Bound to one
// device at a time, it shows a row per input, asks the device for the state of
// its inputs every 4000 ms, folds away, starts the drag of an input row towards
// the canvas (for the Z family the dragged input becomes the main source), and
// answers which text shows a given input.
//
// Observer topics answered: "slot_startDrag", "slot_selectItem",
// "slot_deleteItemById", "slot_getMainSigInputSource", "slot_IsZReflash",
// "slot_updateFileListlanguage". A drag, a serial-carrying input query and a
// serial-carrying poll pause or restart are
// answered only by the panel bound to the device they name, so that the panels
// of two editor frames never act for each other.
class CFileListWidget : public QWidget
{
    Q_OBJECT

public:
    enum LayoutType { LayoutType_List = 0, LayoutType_Card = 1 };
    static constexpr int POLL_INTERVAL_MS = 4000;

    explicit CFileListWidget(QWidget *parent = nullptr);
    ~CFileListWidget() override;

    // The family ("Tarn" or "Z") of the devices the hosting frame edits; it
    // decides the panel's polling, its drag and its rows' menus. While empty,
    // g_strDevType decides at the moment of use.
    void setDeviceFamily(const QString &strFamily);
    QString deviceFamily() const;

    // Binds the panel to a device (record not owned) and refreshes its rows.
    void addDeviceToList(DeviceInfo *pDeviceInfo, QString strSerial);

    // The panel's part of the scene document.
    void fileListToJson(QJsonObject &obj);
    void jsonToFileList(QString &strJson);
    // The same keys from a document parsed already.
    void jsonToFileList(const QJsonObject &doc);

    void deleteAllItem();
    void initValue();
    void initListLayout();
    void initCardLayout();
    bool checkVectorFile(const QString &strFile);
    void loadFile(QStringList &listFile);

    // Read access for the frames and tests.
    CLayoutListWidget *layoutList() const { return m_pLayoutList; }
    CLayoutCardWidget *layoutCard() const { return m_pLayoutCard; }
    DeviceInfo *deviceInfo() const { return m_pDeviceInfo; }
    QString serial() const { return m_strSerial; }
    bool isOpen() const { return m_bOpen; }
    bool isPolling() const;
    int pollCount() const { return m_nrefresh; }
    QVector<QString> materialFiles() const { return m_vectorItems; }

public slots:
    // Display text of an input of the bound device (any panel that is bound).
    void slot_getMainSigInputSource(int nMainSig, QString &retText);
    // The same, answered only by the panel bound to strSerial.
    void slot_getMainSigInputSource(int nMainSig, QString &retText, QString strSerial);
    void slot_updateInputSrc();
    // Drag of an input row; only the panel bound to strSerial acts.
    void slot_startDrag(QString strFile, QString strText, int nId, QString strSerial);
    void slot_selectItem(int nIndex);
    void slot_deleteItemById(int nIndex);
    void slot_IsZReflash(bool nReflash);
    // The form that names a device: only the panel bound to it starts or stops its poll.
    void slot_IsZReflash(bool nReflash, QString strSerial);
    void slot_updateFileListlanguage(int nlanguage);
    void on_btnMaterial_clicked();
    void on_btnReflash_clicked();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool ownsSerial(const QString &strSerial) const;
    void sendStatusRead();
    void applyButtonStyles();

    QString m_strSerial;
    QString m_strFamily;
    int m_nLayoutType = LayoutType_List;
    int m_nMaxHeight = 0;
    bool m_bOpen = true;
    int m_nrefresh = 0;
    QVector<QString> m_vectorItems;
    QVector<int> m_vectorDelItems;
    QString m_strDelFile;
    CLayoutListWidget *m_pLayoutList = nullptr;
    CLayoutCardWidget *m_pLayoutCard = nullptr;
    DeviceInfo *m_pDeviceInfo = nullptr;
    QTimer *m_pTimer = nullptr;
    int m_nMainSig = 0;
    QTranslator *m_pTranslator = nullptr;
    Ui::CFileListWidget *ui;
};

#endif // FILELISTWIDGET_H
