#ifndef SIMTESTUTIL_H
#define SIMTESTUTIL_H

#include <QList>
#include <QString>

#include <functional>

class CDeviceSimulator;
class CSimDeviceModel;
class CTcpDeviceThread;

// Helpers for tests that drive a device worker against the simulated device.
namespace SimTest {

// Connects the worker to the simulator over TCP and starts its loop; true once connected.
bool connectWorker(CTcpDeviceThread &worker, CDeviceSimulator &sim, const QString &strSerial = "SN1");

// The link is made again (the device list's reconnection) and the loop started; true once connected.
bool linkAgain(CTcpDeviceThread &worker);

// Waits (at most 8 s) until the worker's queue is empty, no command awaits its answer and the
// simulator has received nothing new for nQuietMs.
void settle(CTcpDeviceThread &worker, CDeviceSimulator &sim, int nQuietMs = 150);

// The device stops answering: a read stays in flight and distinct reads wait behind it until
// nQueued are queued (0, or more than the commands allowed in flight; 1024: the queue is at its bound).
// The read is the device name's, or the read of nCmd (sub-index 0) that fnSend leads to.
void holdQueue(CTcpDeviceThread &worker, CDeviceSimulator &sim, int nQueued = 1024, std::function<void()> fnSend = {}, int nCmd = 41);

// The worker deletes scene nScene; the device takes the delete at once and answers it with the
// fault given (by default late, out of turn: CDeviceSimulator::TakenLate). fnAfter, the operator's
// next command, is made once the delete ended unanswered: as the count read sent after it reaches
// the device, before it is answered (or, fnWhen given, once it holds). True once the late answer
// was written and all settled.
bool afterUnansweredDelete(CTcpDeviceThread &worker, CDeviceSimulator &sim, int nScene, const std::function<void()> &fnAfter,
                           int nFault = -1, const std::function<bool()> &fnWhen = {});

// A UDP port on 127.0.0.1 that was free a moment ago.
quint16 freeUdpPort();

// Command ids of the requests the simulator received, heartbeats left out.
QList<int> commandOrder(const CDeviceSimulator &sim);

// Hands the worker, without a link, the model's answers to the reads of its stored scenes, as
// a device would answer them: the worker then holds those scene records.
void feedScenes(CTcpDeviceThread &worker, CSimDeviceModel &model);

}

#endif // SIMTESTUTIL_H
