#ifndef DEVICEITEM_H
#define DEVICEITEM_H

#include <QByteArray>
#include <QString>
#include <QWidget>

#include "QorGlobal.h"

class CInputSetDlg;
class QAction;
class QMenu;
class QMouseEvent;
class QPoint;

namespace Ui {
class CDeviceItem;
}

// One row of the source panel's list: the number, port icon, name and timing
// of one input of the edited device. A left press starts the drag of the input
// (the panel that shows the row runs it); a right press opens the family's
// menu, whose entries edit, re-read or restore the input's name and resolution
// on the device with the command "输入设置".
class CDeviceItem : public QWidget
{
    Q_OBJECT

public:
    // MIME type of a dragged input source.
    static const char *const DRAG_MIME_TYPE; // "editScene/media"

    explicit CDeviceItem(QWidget *parent = nullptr);
    ~CDeviceItem() override;

    void setDeviceSerial(const QString &strSerial);
    QString getDeviceSerial() const;
    // Binds the input (the worker's record: read, never written) and shows its values.
    void setDeviceInput(InputSource *pInput);
    InputSource *getDeviceInput() const { return m_pDeviceInput; }
    // Chooses the port icon from the input's type text.
    void setDeviceType(const QString &strType);
    QString getDeviceImage() const;
    // The bound input's id, or -1 without an input.
    int getInputSrcIndex() const;

    // The family ("Tarn" or "Z") of the row's device; the menu is built
    // again when it changes.
    void setDeviceFamily(const QString &strFamily);
    // Builds the context menu of the row's family; while none was given, of
    // g_strDevType at this moment.
    void setMenu();
    // Sets the texts of the entries again, of either family (language switch).
    void setMenuName();
    QMenu *menu() const { return m_pMenu; }

    // The caption of the input as a drag carries it: "name : WxH@Hz", or
    // "name : 无输入" (translated) without a signal.
    QString dragCaption() const;

    // The drag data of an input source: a data stream of the media type 3,
    // the icon path twice, the caption and the input id.
    static QByteArray makeDragData(const QString &strFile, const QString &strText, int nId);

    // The 12-byte GBK name field of device commands: cut at a character
    // boundary, zero-padded.
    static QByteArray nameField(const QString &strName);

    // Asks the device of strSerial for the state of its inputs.
    static void sendStatusRead(const QString &strSerial);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private slots:
    void slot_inputAll();          // 修改输入设置
    void slot_inputName();         // 修改输入名称
    void slot_inputResolution();   // 修改分辨率
    void slot_updateName();        // 更新输入名称
    void slot_updateResolution();  // 更新分辨率
    void slot_resetName();         // 恢复出厂设置名称

private:
    // Opens the input settings dialog on a copy of what the row shows, in the given mode; false
    // when it was cancelled or this row was removed or came to stand for another input while it
    // was open. edited holds the dialog's values.
    bool execInputDialog(CInputSetDlg &dlg, int nShowType, InputSource &edited);
    void showInput();
    void showEdited(const InputSource &edited);
    void showMenu(const QPoint &ptGlobal);
    void sendInputSet(QByteArray &payload, int nRw, int nSub);

    Ui::CDeviceItem *ui;
    QString m_strFile;
    QMenu *m_pMenu = nullptr;
    QString m_strSerial;
    InputSource *m_pDeviceInput = nullptr;
    // What the row shows: the record as last handed to it, or the operator's edit until the next.
    InputSource m_shown;
    QAction *actInputAll = nullptr;
    QAction *actInputName = nullptr;
    QAction *actInputResolution = nullptr;
    QAction *actUpdateName = nullptr;
    QAction *actUpdateResolution = nullptr;
    QAction *actResetName = nullptr;
    QString m_strFamily;
    QString m_strMenuFamily; // the family the menu was built for
    bool m_bZMenu = false;   // the menu was built for the Z family
};

#endif // DEVICEITEM_H
