#include "zinferface.h"

#include "QorGlobal.h"
#include "globalObserver.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>

Zinferface::Zinferface(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Zinferface"));
    setWindowTitle(QStringLiteral("Zinferface"));
    m_pLabel = new QLabel(this);
    m_pLabel->setAlignment(Qt::AlignCenter);
    m_pLabel->setTextFormat(Qt::PlainText);
    setCentralWidget(m_pLabel);
    resize(846, 600);
}

Zinferface::~Zinferface() = default;

void Zinferface::initSceneData(DeviceInfo *device, const QList<ZSceneInfo *> &listScene)
{
    if (!device)
        return;
    m_pCurrentDevice = device;
    m_nSceneCount = listScene.size();
    showDeviceText();
}

void Zinferface::updateZSceneData(QString strSerial, const QList<ZSceneInfo *> &listScene)
{
    if (!m_pCurrentDevice || m_pCurrentDevice->strSerial != strSerial)
        return;
    m_nSceneCount = listScene.size();
    showDeviceText();
}

void Zinferface::slot_activateMain(bool bIsMin)
{
    if (bIsMin && isMinimized())
        return;
    showNormal();
    raise();
    activateWindow();
}

void Zinferface::showDeviceText()
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

// Closing closes every serial port; on a serial connection the whole program
// closes, otherwise the frame only hides and stays for the next open.
void Zinferface::closeEvent(QCloseEvent *event)
{
    event->ignore();
    globalObserver::getGlobalObserver()->notify(QStringLiteral("Slot_DisconnectSerialPort"));
    if (g_nConnectionType == 1) {
        hide();
        QMetaObject::invokeMethod(qApp, &QApplication::closeAllWindows, Qt::QueuedConnection);
        return;
    }
    hide();
}
