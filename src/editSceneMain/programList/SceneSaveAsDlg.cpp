#include "SceneSaveAsDlg.h"
#include "ui_SceneSaveAsDlg.h"

#include <QIntValidator>
#include <QShowEvent>

#include "BesMessageBox.h"
#include "DeviceRecords.h"
#include "globalObserver.h"

namespace {
const char *const kSceneListTopic = "slot_setListZDeviceScene";
}

CSceneSaveAsDlg::CSceneSaveAsDlg(const QString &strFamily, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CSceneSaveAsDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    setWindowOpacity(0.95);
    setStyleSheet("QDialog{background-color:#232326};");

    Scenerange = tr("场景保存范围");

    m_bZMode = (strFamily == QLatin1String("Z"));
    if (m_bZMode) {
        ui->pushButtonCancel->hide();
        ui->pushButtonYOK->hide();
        globalObserver::getGlobalObserver()->attach(kSceneListTopic, this, kSceneListTopic);
    } else {
        ui->pushButtonExit->hide();
        ui->pushButtonOk->hide();
        ui->tipslabel->hide();
    }
    // Only the operator's own edits reach it: text set by the program does not.
    connect(ui->lineEditIndex, &QLineEdit::textEdited, this, &CSceneSaveAsDlg::slot_indexEdited);
    connect(ui->pushButtonYOK, &QPushButton::clicked, this, &CSceneSaveAsDlg::slot_acceptIndex);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &CSceneSaveAsDlg::reject);
}

CSceneSaveAsDlg::~CSceneSaveAsDlg()
{
    if (m_bZMode)
        globalObserver::getGlobalObserver()->detach(kSceneListTopic, this);
    delete ui;
}

void CSceneSaveAsDlg::slot_setListZDeviceScene(QList<ZSceneInfo> list)
{
    Q_UNUSED(list)
}

void CSceneSaveAsDlg::slot_setListZDeviceScene(QList<ZSceneInfo> list, QString strSerial)
{
    if (!m_strSerial.isEmpty() && strSerial == m_strSerial)
        m_listZDeviceScene = list;
}

bool CSceneSaveAsDlg::holdsScene(int nSceneIndex) const
{
    for (const ZSceneInfo &scene : m_listZDeviceScene)
        if (scene.nSceneIndex == nSceneIndex)
            return true;
    return false;
}

// The most scenes the dialog's device stores; 0 while it is not known.
int CSceneSaveAsDlg::deviceSceneMax() const
{
    const CDeviceRecords *pDevice = CDeviceRecords::find(m_strSerial);
    return pDevice && pDevice->deviceRecord() ? pDevice->deviceRecord()->nSceneMax : 0;
}

void CSceneSaveAsDlg::setZsencedate(int nCount, int nTake)
{
    m_nscenenum = nCount;
    m_ntake = nTake;
    // A number the operator typed while the counts were on their way stays.
    if (!m_bIndexTyped)
        ui->lineEditIndex->setText(QString::number(nTake));
    const int nMax = deviceSceneMax();
    const int nLast = nMax > 0 ? qMin(nCount + 1, nMax) : nCount + 1;
    ui->tipslabel->setText(QString("[%1:%2~%3]").arg(Scenerange).arg(1).arg(nLast));
}

void CSceneSaveAsDlg::setSaveSceneIndex(int n)
{
    m_nMaxIndex = n;
    m_strIndex = QString::number(n);
    ui->lineEditIndex->setText(m_strIndex);
    // Only whole numbers from 1 to n can be typed; the edit owns the validator.
    const QValidator *pOld = ui->lineEditIndex->validator();
    ui->lineEditIndex->setValidator(new QIntValidator(1, qMax(1, n), ui->lineEditIndex));
    delete pOld;
}

int CSceneSaveAsDlg::getValidSaveSceneIndex() const
{
    bool bOk = false;
    const int n = m_strIndex.trimmed().toInt(&bOk);
    return (bOk && n >= 1 && n <= m_nMaxIndex) ? n : 0;
}

void CSceneSaveAsDlg::slot_indexEdited(const QString &strText)
{
    m_bIndexTyped = true;
    if (!m_bZMode)
        m_strIndex = strText;
}

// Every run starts with an edit the operator has not touched: the counts the opener asked for fill it.
void CSceneSaveAsDlg::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        m_bIndexTyped = false;
    QDialog::showEvent(event);
}

// Tarn mode: the opener sends the save after an accept, so nothing outside
// 1 .. the proposed number may leave the dialog.
void CSceneSaveAsDlg::slot_acceptIndex()
{
    if (getValidSaveSceneIndex() == 0) {
        BesMessageBox::information(tr("保存失败"), tr("请输入有效值！"), false);
        return;
    }
    accept();
}

void CSceneSaveAsDlg::on_pushButtonOk_clicked()
{
    const int n = ui->lineEditIndex->text().toInt();
    if (n < 1 || n > m_nscenenum + 1) {
        BesMessageBox::information(tr("保存失败"), tr("请输入有效值！"), false);
        return;
    }
    const bool bNewScene = n == m_nscenenum + 1;
    // A full device stores no new scene: only those it holds can be saved over.
    const int nMax = deviceSceneMax();
    if (bNewScene && nMax > 0 && n > nMax) {
        BesMessageBox::information(tr("保存失败"), tr("场景数已达上限%1，请输入已有场景！").arg(nMax), false);
        return;
    }
    // An existing scene is the one its number names now; one the device no longer holds (a
    // delete answered while the dialog was open) is not saved over.
    if (!bNewScene && !holdsScene(n)) {
        BesMessageBox::information(tr("保存失败"), tr("场景%1已不存在，请重新输入！").arg(n), false);
        return;
    }

    QByteArray data;
    data.append(char(0x00));
    data.append(char(n & 0xFF));
    QString strSerial = m_strSerial;
    QString strName = "场景操作";
    globalObserver::getGlobalObserver()->notify("slot_setDeviceCmd", Q_ARG(QString, strSerial),
                                                Q_ARG(QString, strName), Q_ARG(QByteArray &, data),
                                                Q_ARG(int, 2), Q_ARG(int, 10));

    // The device saves its live settings, which need not be what the settings page shows (a
    // preview puts a stored scene's values there without sending them): what it stored is read
    // back, the counts and every scene for a new scene, the scene itself for an existing one.
    QByteArray read;
    QString strRead;
    if (bNewScene) {
        strRead = "源及场景数";
    } else {
        strRead = strName;
        read.append(char(n & 0xFF));
    }
    globalObserver::getGlobalObserver()->notify("slot_setDeviceCmd", Q_ARG(QString, strSerial),
                                                Q_ARG(QString, strRead), Q_ARG(QByteArray &, read),
                                                Q_ARG(int, 1), Q_ARG(int, 0));
    close();
}

void CSceneSaveAsDlg::on_pushButtonExit_clicked()
{
    close();
}
