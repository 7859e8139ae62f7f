#ifndef SIMDEVICELIST_H
#define SIMDEVICELIST_H

#include <QString>

#include <memory>
#include <vector>

class CDeviceSimulator;
class CTcpDeviceThread;
class MainWindow;

// The device list window with simulated Tarn devices (2 inputs, 1 scene) on one device port,
// device n at 127.0.0.(2 + n) with serial "SN<n + 1>": the set-up of the tests of links made,
// lost, frozen and made again. The window is made once every simulator listens.
class CSimDeviceList
{
public:
    explicit CSimDeviceList(int nDevices = 1);
    ~CSimDeviceList();
    CSimDeviceList(const CSimDeviceList &) = delete;
    CSimDeviceList &operator=(const CSimDeviceList &) = delete;

    bool isListening() const { return m_pWindow != nullptr; }
    MainWindow &window() { return *m_pWindow; }
    CDeviceSimulator &sim(int n = 0) { return *m_listSims.at(size_t(n)); }
    QString address(int n = 0) const;
    QString serial(int n = 0) const;
    // The device's worker, once it was announced.
    CTcpDeviceThread *worker(int n = 0) const;
    // Discovery announces the device (again) at its address.
    void announce(int n = 0);
    // Announced and switched on: its worker once linked and running, the simulator holding the
    // link (null when that takes longer than 5 s).
    CTcpDeviceThread *switchOn(int n = 0);
    // The device goes: its simulator is closed, a connection to it refused.
    void remove(int n = 0);
    // It is back on its address and the device port (null when the port cannot be had again).
    CDeviceSimulator *bringBack(int n = 0);
    // The window goes: its workers stop and close their links.
    void closeWindow();

private:
    std::vector<std::unique_ptr<CDeviceSimulator>> m_listSims;
    std::unique_ptr<MainWindow> m_pWindow;
    quint16 m_nPort = 0;
};

#endif // SIMDEVICELIST_H
