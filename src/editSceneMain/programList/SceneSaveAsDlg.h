#ifndef SCENESAVEASDLG_H
#define SCENESAVEASDLG_H

#include <QDialog>
#include <QList>
#include <QString>

#include "QorGlobal.h"

namespace Ui {
class CSceneSaveAsDlg;
}

// Asks for the number of the device scene that the current picture is saved
// into. The mode is fixed at construction by the family of the opener's device:
//  - Z: the dialog checks the number against the device's scene count, sends
//    the save itself, and reads back what the device stored: the counts (a new
//    scene) or the scene that number names now. The device saves its live
//    settings, so the worker's record of the scene follows the device's answer;
//  - any other family: the dialog only collects a number from 1 to the one
//    proposed with setSaveSceneIndex(); the opener sends the save.
class CSceneSaveAsDlg : public QDialog
{
    Q_OBJECT
public:
    // strFamily: "Z" for the Z mode; any other family collects a number only.
    explicit CSceneSaveAsDlg(const QString &strFamily, QWidget *parent = nullptr);
    ~CSceneSaveAsDlg() override;

    bool isZMode() const { return m_bZMode; }

    void setStrSerial(const QString &strSerial) { m_strSerial = strSerial; }
    // Copies of the device's scene records in scene order. Give the current
    // list before every run; while the dialog is open it follows the lists the
    // device's worker hands out (a delete renumbers, a re-read refreshes).
    void setListZDeviceScene(const QList<ZSceneInfo> &list) { m_listZDeviceScene = list; }
    QList<ZSceneInfo> listZDeviceScene() const { return m_listZDeviceScene; }

    // The device's scene count and taken scene (Z mode): fills the edit with
    // the taken scene, unless the operator typed a number since the dialog was
    // shown, and shows the allowed range 1 .. count + 1, which stops at the
    // device's maximum (from its records, found by serial). Until the count
    // came the range shows nothing.
    void setZsencedate(int nCount, int nTake);

    // Proposes scene number n and accepts the numbers 1 .. n (Tarn mode).
    void setSaveSceneIndex(int n);

    // The chosen scene number as text (Tarn mode result).
    QString getSaveSceneIndex() const { return m_strIndex; }
    // The chosen number when it lies in 1 .. the proposed number, else 0.
    int getValidSaveSceneIndex() const;

    int sceneCount() const { return m_nscenenum; }
    int takeScene() const { return m_ntake; }

public slots:
    void on_pushButtonOk_clicked();
    void on_pushButtonExit_clicked();
    // The hub's scene lists: only the one of this dialog's device is taken; a
    // list without a serial may be any device's and is left alone.
    void slot_setListZDeviceScene(QList<ZSceneInfo> list);
    void slot_setListZDeviceScene(QList<ZSceneInfo> list, QString strSerial);

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void slot_indexEdited(const QString &strText);
    void slot_acceptIndex();

private:
    bool holdsScene(int nSceneIndex) const;
    int deviceSceneMax() const;

    QString m_strSerial;
    int m_nscenenum = -1; // unknown until the device's count arrived
    int m_ntake = 0;
    QString Scenerange;
    QString m_strIndex;
    int m_nMaxIndex = 0; // highest number accepted in Tarn mode
    bool m_bZMode = false;
    bool m_bIndexTyped = false; // the operator typed in the edit since the dialog was shown
    QList<ZSceneInfo> m_listZDeviceScene;
    Ui::CSceneSaveAsDlg *ui;
};

#endif // SCENESAVEASDLG_H
