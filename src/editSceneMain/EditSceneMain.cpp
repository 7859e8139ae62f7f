#include "EditSceneMain.h"

#include "QorGlobal.h"
#include "globalObserver.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QTranslator>

CEditSceneMain::CEditSceneMain(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("EditSceneMain"));
    setWindowTitle(QStringLiteral("EditScene"));
    m_pTranslator = new QTranslator(this);
    m_pLabel = new QLabel(this);
    m_pLabel->setAlignment(Qt::AlignCenter);
    m_pLabel->setTextFormat(Qt::PlainText);
    setCentralWidget(m_pLabel);
    resize(846, 600);
}

CEditSceneMain::~CEditSceneMain() = default;

void CEditSceneMain::initSceneData(DeviceInfo *device, const QList<CTarnSceneRecord *> &listScene)
{
    if (!device)
        return;
    m_pCurrentDevice = device;
    m_nSceneCount = listScene.size();
    showDeviceText();
}

void CEditSceneMain::updateSceneData(QString strSerial, const QList<CTarnSceneRecord *> &listScene)
{
    if (!m_pCurrentDevice || m_pCurrentDevice->strSerial != strSerial)
        return;
    m_nSceneCount = listScene.size();
    showDeviceText();
}

void CEditSceneMain::initLanguage(int nIndex)
{
    QCoreApplication::removeTranslator(m_pTranslator);
    (void)m_pTranslator->load(nIndex == 0 ? QStringLiteral("Tranlate_CN.qm")
                                          : QStringLiteral("Tranlate_EN.qm"));
    QCoreApplication::installTranslator(m_pTranslator);
    showDeviceText();
}

void CEditSceneMain::slot_activateMain(bool bIsMin)
{
    if (bIsMin && isMinimized())
        return;
    showNormal();
    raise();
    activateWindow();
}

void CEditSceneMain::showDeviceText()
{
    if (!m_pCurrentDevice) {
        m_pLabel->clear();
        return;
    }
    m_pLabel->setText(QStringLiteral("%1\n%2\n%3: %4  %5: %6")
                          .arg(m_pCurrentDevice->strSerial,
                               m_pCurrentDevice->strDevName,
                               tr("输入源"))
                          .arg(m_pCurrentDevice->vectorInput.size())
                          .arg(tr("场景"))
                          .arg(m_nSceneCount));
}

// Closing the frame closes every serial port, hides it and ends the program.
void CEditSceneMain::closeEvent(QCloseEvent *event)
{
    event->ignore();
    globalObserver::getGlobalObserver()->notify(QStringLiteral("Slot_DisconnectSerialPort"));
    hide();
    QCoreApplication::quit();
}
