#include "SimDeviceList.h"

#include <QHostAddress>
#include <QTest>

#include "DeviceControl.h"
#include "DeviceSimulator.h"
#include "SwitchButton.h"
#include "TcpDeviceThread.h"
#include "mainwindow.h"

CSimDeviceList::CSimDeviceList(int nDevices)
{
    // One port free at every address: the first simulator takes one, the others the same.
    for (int nTry = 0; nTry < 20 && !m_nPort; ++nTry) {
        m_listSims.clear();
        for (int n = 0; n < nDevices; ++n)
            m_listSims.push_back(std::make_unique<CDeviceSimulator>(CSimDeviceModel::Tarn, 2, 1));
        bool bAll = sim(0).listen(QHostAddress(address(0)), 0);
        for (int n = 1; n < nDevices && bAll; ++n)
            bAll = sim(n).listen(QHostAddress(address(n)), sim(0).port());
        if (bAll)
            m_nPort = sim(0).port();
    }
    if (m_nPort) {
        MainWindow::setDevicePort(m_nPort);
        m_pWindow = std::make_unique<MainWindow>();
    }
}

CSimDeviceList::~CSimDeviceList() = default;
void CSimDeviceList::remove(int n) { m_listSims.at(size_t(n)).reset(); }
void CSimDeviceList::closeWindow() { m_pWindow.reset(); }

CTcpDeviceThread *CSimDeviceList::worker(int n) const
{
    return m_pWindow->getCurrentDevice(serial(n));
}

void CSimDeviceList::announce(int n)
{
    m_pWindow->slot_newDevice({address(n), QString(), QStringLiteral("Tarn-3"), serial(n)});
}

CTcpDeviceThread *CSimDeviceList::switchOn(int n)
{
    if (!isListening())
        return nullptr;
    announce(n);
    QTest::mouseClick(m_pWindow->checkR4Exist(serial(n))->switchButton(), Qt::LeftButton);
    CTcpDeviceThread *pDevice = worker(n);
    return QTest::qWaitFor([&]() { return pDevice->isConnected() && pDevice->isRunning() && sim(n).hasClient(); }, 5000)
               ? pDevice : nullptr;
}

CDeviceSimulator *CSimDeviceList::bringBack(int n)
{
    auto pSim = std::make_unique<CDeviceSimulator>(CSimDeviceModel::Tarn, 2, 1);
    if (!pSim->listen(QHostAddress(address(n)), m_nPort))
        return nullptr;
    m_listSims.at(size_t(n)) = std::move(pSim);
    return &sim(n);
}
