#ifndef SIMDEVICELIST_H
#define SIMDEVICELIST_H

#include <QString>

#include <memory>
#include <vector>

class CDeviceSimulator;
class CTcpDeviceThread;
class MainWindow;

// The device list window with simulated Tarn devices (2 inputs, 1 scene) on one device port,
// device n at 127.0.0.(2 + n) with serial "SN<n + 1>". The window is made once every simulator listens.
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
    QString address(int n = 0) const { return QStringLiteral("127.0.0.%1").arg(2 + n); }
    QString serial(int n = 0) const { return QStringLiteral("SN%1").arg(1 + n); }
    CTcpDeviceThread *worker(int n = 0) const; // once announced
    void announce(int n = 0);
    // Announced and switched on: its worker once linked and running (null when not listening or
    // after 5 s without).
    CTcpDeviceThread *switchOn(int n = 0);
    // The device goes (a connection to it refused); back on its address and port (null when the port is taken).
    void remove(int n = 0);
    CDeviceSimulator *bringBack(int n = 0);
    void closeWindow(); // its workers stop and close their links

private:
    std::vector<std::unique_ptr<CDeviceSimulator>> m_listSims;
    std::unique_ptr<MainWindow> m_pWindow; // destroyed before the simulators
    quint16 m_nPort = 0;
};

#endif // SIMDEVICELIST_H
