#ifndef TCPDEVICETHREAD_H
#define TCPDEVICETHREAD_H

// The console's agent for one device (network or serial).
//
// The object, its transports, its records and all reply handling live on the GUI thread; the
// thread itself (run()) only paces the command queue - one command in flight - and, over TCP,
// sends the heartbeat every 3000 ms. It sleeps on a wait condition between events, so an idle
// connected device costs next to nothing.
//
// Replies are reassembled from the byte stream (a read may hold part of a frame or several
// frames), tested (start bytes, length, check, type field) and dispatched by command id to the
// handlers, which read only inside the frame's payload, fill the records and notify the hub.
//
// Seams for tests and tools: setHeartbeatInterval(), setReplyTimeout(), setConnectTimeout(),
// injectReceivedData(), injectSentCommand(), injectFrameWritten(), injectLinkUp(),
// injectHeartbeatSent(), injectClockStep(), injectClockHeld(),
// injectSerialLine(), commandLedger(), queuedCommandCount(); the scene hand-off is
// CTarnSceneSink::install().
//
// The lives of the commands sent (what a reply, a heartbeat's reply, the serial time-out and the
// link's end end, and which writes are of unknown fate) are the ledger's (CCommandLedger); the
// worker keeps the transports, the gate's pacing, the records and the handlers.
//
// What the worker hands up to the editor goes through interfaces that know nothing of the editor:
// Tarn scene records to the installed CTarnSceneSink, OSD bitmap replies to the COsdReplySink of
// its device; its device and settings records are listed in CDeviceRecords, where panels find
// them by serial.
//
// A device switched off, or whose link was lost or could not be made, takes no commands until a
// link is attempted again: what was queued for it is dropped and new commands are refused. Over
// TCP a device from which nothing came for three heartbeat periods has lost its link, as if the
// socket had dropped; over a serial line such a device, asked once more and silent still, is a
// line lost: the port closes.
//
// Every write ends in one of two ways. The device acknowledges it: the records take the value and
// the device's panels are told. Or it does not: refused on the spot (link down, queue at its
// bound), refused by the device (NAK), lost in flight with the link, left unanswered until a later
// heartbeat's reply (or the serial reply time-out), or dropped from the queue by a switch-off. A
// reply that still comes for one left unanswered puts its value into the records, which the
// device's panels are shown again. The device's panels are shown its records again
// (showLastReadState), so that they show nothing the device never took. One left unanswered or lost
// with the link may have been taken all the same: what it wrote is read back (readBackAfter; the
// link gone, on the next link). What the operator is told of it all, and when, CNoticeRules
// decides: a notice naming the device, once per event; one left unanswered or lost with the link
// only once its read back showed the old value (given up, as not answered). The next link's
// start-up reads show what the device holds then, input names included.

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QString>
#include <QThread>
#include <QWaitCondition>

class QTimer;

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "CommandLedger.h"
#include "DeviceFrame.h"
#include "DeviceRecords.h"
#include "NoticeRules.h"
#include "QorGlobal.h"
#include "TarnSceneSink.h"

class CTcpSocket;
class SerislPort;

class CTcpDeviceThread : public QThread, public CDeviceRecords
{
    Q_OBJECT
public:
    explicit CTcpDeviceThread(QObject *parent = nullptr);
    ~CTcpDeviceThread() override;

    // ---- identity and records
    void setDeviceSerial(const QString &strSerial);
    QString getDeviceSerial() const { return m_strSerial; }
    DeviceInfo *getDeviceInfo() const { return m_pDeviceInfo; }
    SystemInfo *getSystemInfo() const { return m_pSystemInfo; }
    // The Tarn family's stored scenes (records; the editor's graphics scenes are built from them
    // through the CTarnSceneSink) and the Z family's scene records. Owned by the worker.
    const QList<CTarnSceneRecord *> &getSceneList() const { return m_listScene; }
    const QList<ZSceneInfo *> &getZSceneList() const { return m_listZScene; }
    const QList<QString> &getInputNameList() const { return m_inputstrname; }

    // ---- records by device
    // The records stay the worker's: a delete reply frees a scene record and renumbers the rest.
    // Pages and dialogs therefore keep a device's serial and scene numbers, never pointers into
    // its records across an event-loop turn: scene lists reach them as copies (the topic
    // "slot_setListZDeviceScene"), and the device and settings records they read they look up
    // by serial in CDeviceRecords at the moment they use them.
    QString recordSerial() const override { return m_strSerial; }
    const DeviceInfo *deviceRecord() const override { return m_pDeviceInfo; }
    const SystemInfo *systemRecord() const override { return m_pSystemInfo; }
    bool systemRecordRead() const override { return m_bSystemRead; }
    bool deviceNameRecord(QString &strName) const override;
    const COutputsRecord &outputsRecord() const override { return m_outputs; }
    const CSceneAudioRecord *sceneAudioRecord(int nScene) const override;
    QString noticeName() const override;
    // The Z family's stored scene of number nSceneIndex, or null.
    ZSceneInfo *findZScene(int nSceneIndex) const;
    // Copies of the Z family's scene records in scene order.
    QList<ZSceneInfo> zSceneValues() const;

    // The family this device's replies are parsed by ("Tarn" or "Z"). Set it when the device is
    // identified (announcement type or serial model text); while it is empty the worker follows
    // the program-wide g_strDevType.
    void setDeviceType(const QString &strFamily) { m_strDevType = strFamily; }
    QString deviceType() const;

    // ---- link
    bool isConnected() const;
    void setCanConnected(bool bCan);
    bool canConnected() const { return m_bCanConnected; }
    bool isSerialMode() const { return m_bCanSerislPortConnected; }
    // The device answered on the present link: a link it accepted but never answered on is no
    // contact regained.
    bool isDeviceHeard() const { return m_bDeviceHeard; }
    void reConnected();
    // The address the next connection goes to (a device announced at a new address). A link
    // that is up or coming up is left alone.
    void setDeviceAddress(const QString &strHost);
    QString getDeviceIp() const { return m_strIp; }
    int getDevicePort() const { return m_nPort; }

    // ---- commands
    // Queues a command by its Chinese name. A name that is not in the command table is refused
    // with a log line (nothing is sent); false then.
    bool setMcuCommand(const QString &strName, const QByteArray &payload, int nReadOrWrite, int nSubIndex);
    // A read a link's start makes (device information, counts, name, OSD, live settings): left
    // unanswered, lost or garbled, it is asked again, at most MaxOwnReads times per link. Given up
    // over a serial line, the device is taken as silent: the line is said lost and closes.
    bool askStartupRead(const QString &strName, const QByteArray &payload, int nSubIndex);
    // A read the console asks to show what the device holds (a frame bound to it reads its live
    // settings): a read of ours, its asks counted anew; failed, it is asked again within its bound
    // on this link, and given up, said. With the link down it is refused as any command is.
    bool askOwnRead(const QString &strName, const QByteArray &payload, int nSubIndex);
    void setInputSrcCmd(bool bMerge = true);
    void setScreenSizeCmd();
    int queuedCommandCount() const;
    // The same read (command, sub-command, payload) was sent and awaits its answer, with no write
    // of its command (for a scene read, no layer write either) sent after it: its answer answers
    // for another one too.
    bool readInFlight(int nCmd, int nSub, const QByteArray &payload) const;
    // True from the moment a command (not a heartbeat) leaves until a reply to it, or to a later
    // heartbeat, was taken in, with whatever its handler queued.
    bool hasCommandInFlight() const;
    // A write queued or in flight, not yet acknowledged or ended otherwise.
    bool hasWritePending() const;
    // A write queued, not sent yet.
    bool hasWriteQueued() const;
    // Over TCP, nothing queued leaves until a reply comes: a command in flight shuts the gate, or
    // the in-flight bound is reached (tests).
    bool queueHeld() const;

    // "name : WxH@Hz" of an input, "name : 无输入" without signal, empty for an unknown id.
    QString getMainSigInputSource(int nId);

    // Tests one complete frame and dispatches it (the GUI thread's reply path).
    void parseMcuData(QByteArray &data);
    // Feeds received bytes as a transport would (tests, fuzzing).
    void injectReceivedData(const QByteArray &data) { handleReceivedData(data); }
    // Takes a command as sent to the device, without a running loop (tests, fuzzing): its reply
    // then answers a command of ours; over a serial line once injectFrameWritten() wrote the
    // oldest frame not written yet. injectLinkUp(): the link (or serial line) is up again.
    void injectSentCommand(const QString &strName, const QByteArray &payload, int nReadOrWrite, int nSubIndex);
    void injectFrameWritten();
    void injectLinkUp();
    // A heartbeat as sent; the worker's clock moved on by nMs, with the serial reply time-out
    // then ended as its timer would; the worker taken as on a serial line or not, without a port
    // (fuzzing).
    void injectHeartbeatSent();
    void injectClockStep(int nMs);
    // The worker's clock stands still while held: what leaves meanwhile leaves in one millisecond.
    void injectClockHeld(bool bHeld);
    void injectSerialLine(bool bSerial);
    // The lives of the commands sent (tests watch it through its observer).
    CCommandLedger &commandLedger() { return m_ledger; }
    // Switched off, or the link lost or refused, and no link attempted since (see the top).
    bool isLinkDown() const { return m_bLinkDown; }

    // ---- timing (defaults: heartbeat 3000 ms, serial reply time-out 3000 ms)
    void setHeartbeatInterval(int nMs);
    // Over TCP, the link is lost when nothing came from the device for this long.
    int silenceMs() const;
    void setReplyTimeout(int nMs);
    void setConnectTimeout(int nMs);
    CTcpSocket *getTcpTransport() const { return m_pTcpSocket; }
    // Null until a serial port was first opened (connectToSerislport).
    SerislPort *getSerialTransport() const { return m_pSerislPort; }

    // ---- program-wide hand-offs
    // The device being edited: the topics "slot_refreshinputName", "slot_GetZSencedate" and
    // "slot_GetZMainSig" without a serial, and the Z source strip's refresh, act only on its worker.
    // Their forms with a serial act on the worker of that serial alone. With a family
    // ("Tarn" or "Z") it names the device of that family's editor frame, so that both frames can
    // be open on two devices; without one it names the device for every family. Empty (the
    // default): every worker acts.
    static void setEditedDeviceSerial(const QString &strSerial, const QString &strFamily = QString());
    static QString editedDeviceSerial(const QString &strFamily = QString());

signals:
    void connected();
    void disconnected();
    void error(QString message);
    void writeData(QByteArray data);
    void sig_deviceStatus(bool bStatus);
    // The device answered on the present link, for the first time on it: contact regained.
    void sig_deviceHeard();

public slots:
    void connectToServer(QString host, int port);
    void disconnectFromServer();
    void slot_stopDeviceThread();
    void slot_refreshinputName();
    void slot_refreshinputName(QString strSerial);
    void slot_GetZSencedate();
    void slot_GetZSencedate(QString strSerial);
    void slot_GetZMainSig(int nMainSig);
    void slot_GetZMainSig(int nMainSig, QString strSerial);
    void connectToSerislport(QString Serislport);

private slots:
    void handleConnected();
    void handleDisconnected();
    void handleReceivedData(QByteArray data);
    void handleError(QString message);
    void handleSerislDisConnected();
    void handleSerialLineLost(QString message);
    void showLinkErrorBox();
    void showSerialLossBox(bool bSilent);
    void showLastReadState();
    void showRefusalNotice();
    void slot_replyTimeOut();
    void slot_linkSilent();
    void slot_frameWritten();

protected:
    void run() override;

private:
    // worker thread
    int sendCmdList(bool bSerial);
    void sendHeartbeat();
    void sendMcuCommand(int nCmd, int nLen, const QByteArray &payload, int nReadOrWrite, int nSub);
    void wakeWorker();
    // pMerged, when given, says whether a read was merged into the same one waiting.
    bool enqueue(const QString &strName, const QByteArray &payload, int nReadOrWrite, int nSubIndex, bool bOnce,
                 bool *pMerged = nullptr);
    // A follow-up read of the reply handlers. bMerge: a read nobody asked for (repeated at every
    // poll), which is not queued again while the same read waits anywhere in the queue; reads
    // the rules ask for (bMerge false) are queued as asked, twice if asked twice.
    bool queueRead(int nCmd, const QByteArray &payload, int nSubIndex, bool bMerge = true, bool *pMerged = nullptr);
    // How a command ended without the device taking it.
    enum Ending {
        NotSent,      // refused on the spot: switched off, link lost or never made
        QueueFull,    // refused on the spot: the queue at its bound
        Refused,      // the device answered with a NAK
        LostInFlight, // sent, and the link went before the answer
        Unanswered,   // a later heartbeat's reply (or the serial time-out) came first
        Dropped       // queued, and the link went (switched off or lost)
    };
    // A write (or a scene read meant to put the editor right) that the device did not take: said
    // as CNoticeRules decides, and the panels are shown the device's records again. A read of
    // what the device holds is asked again (readFailed).
    void commandNotTaken(const _mcu_cmd &cmd, Ending eEnding);
    // The delete of unknown fate is over (answered or refused late, its count read answered, or
    // the link gone): scene commands leave again.
    void endDeleteInDoubt();
    // A count reply answering a read sent after the delete in doubt tells its fate (one credited
    // to none too, when every read it may answer was sent after the delete): a count one lower,
    // the device took it (followed as its answer would be), else it did not.
    void deleteFateCounted();
    // A count read sent after the delete in doubt is in flight, queued or wanted.
    bool deleteFateAsked() const;
    // A command naming a scene was queued while the delete's fate is unknown: it waits behind a
    // count read, asked for it unless one is asked already (counted anew for an operator's write,
    // bOperator); none left to ask, it is not sent.
    void askDeleteFate(bool bOperator);
    // Nothing asked any more can tell the delete's fate (its count reads given up): what waits
    // naming a scene is not sent, writes said not made. The fate stays unknown: a command made
    // later asks again, and a late answer or refusal is still followed.
    void dropHeldSceneCommandsUnlessAsked();
    // A write that ended unanswered was refused late: its doubt ends, the refusal is said.
    void writeRefusedLate(const _mcu_cmd &sent);
    // The records follow a delete of scene nDeleted the device took (Tarn or Z scenes, the live
    // scene, the count and the scenes' audio), and the panels are told.
    void sceneRecordsFollowDelete(int nDeleted);
    // Ends what the ledger says a reply, the time-out or the link's end ended (the one answered
    // aside): unanswered and lost ones are said, writes of unclear or doubted fate read back.
    void endCommands(const CCommandLedger::Outcome &out);
    // The commands a reply or the time-out ended are ended: the worker may send again.
    void endingCommandsDone();
    // Serial: the reply timer runs to the next command's time-out (GUI thread).
    void armReplyTimer();
    // The worker's clock (milliseconds; tests may move it on).
    qint64 nowMs() const
    {
        const qint64 nHeldMs = m_nClockHeldMs;
        return nHeldMs >= 0 ? nHeldMs : m_clock.elapsed() + m_nClockStepMs;
    }
    // A write the device may have taken without answering (or lost with the link): read back what
    // it holds, with the read of its kind, on this link or, with the link down, on the next one.
    // False when no read answers for it (none of its kind, or asked often enough on this link).
    bool readBackAfter(const _mcu_cmd &sent);
    // The read whose answer says whether the device holds what sent wrote (command, sub-command,
    // payload), empty when there is none.
    QByteArray readBackKey(const _mcu_cmd &sent) const;
    // What a write changes (the field, and the port, layer, scene or input), for the notice rules.
    static QByteArray writeTarget(const _mcu_cmd &sent);
    // A scene rename's target (a scene's name).
    static bool isRenameTarget(const QByteArray &target);
    // What the records hold for the read of that key (compared, not shown); given a write target
    // of the Z live settings, only the fields such a write sets (a recall changes the rest); given
    // a rename's, the scene's name alone.
    QByteArray recordPrint(const QByteArray &readKey, const QByteArray &target = QByteArray()) const;
    // What the records would print for readKey had the device taken sent (the device name, the
    // Tarn screen size, an output port, a scene's audio or name, the Z live settings); empty
    // elsewhere.
    QByteArray printIfTaken(const _mcu_cmd &sent, const QByteArray &readKey);
    // The read back of sent prints the written value alone (the device name, the Tarn screen
    // size, a scene's name): an answer showing neither it nor the old value shows the write not
    // taken.
    bool takesWrittenValueAlone(const _mcu_cmd &sent) const;
    // The records hold already what sent writes (printTaken: printIfTaken's, printRecords: their
    // print now): the read back of it cannot tell whether the device took it.
    bool recordsHoldWrite(const _mcu_cmd &sent, const QByteArray &printTaken, const QByteArray &printRecords) const;
    // One read of a read-back: queued now (at most MaxOwnReads of one read per link until the
    // operator writes its command again; one merged into the same read waiting is not asked
    // again), or kept for the next link while the link is down. False when it was asked often
    // enough on this link.
    bool askReadBack(int nCmd, const QByteArray &payload, int nSub);
    // A read of what the device holds failed (unanswered, lost with the link, dropped with the
    // queue, or answered of unclear owner leaving a doubt waiting): asked again, bounded as every
    // read-back, with the link down on the next link; given up, what it was to settle is said. A
    // read a doubt waits on is the console's own, whatever the operator wrote since.
    void readFailed(const _mcu_cmd &read);
    // The key a doubt waits on that this read answers (the read readBackKey names).
    QByteArray doubtKeyOfRead(const _mcu_cmd &read) const;
    // The reply being handled answered the read of ours, whose records are filled now: a write in
    // doubt that waited for it is said or not. Not credited (a reply that may be an earlier read's),
    // it answers one of ours numbered nAnswersSeq or later: a doubt about a write sent after
    // that learns what the device held before it only.
    void readAnswered(const _mcu_cmd &read, bool bCredited, qint64 nAnswersSeq);
    // The device refused a read of ours. A scene it refuses to read it does not have: a write in
    // doubt that waited for its answer is said as not made. Any other refusal (or one that may be
    // another read's of its kind, bCredited false) tells nothing: the read is asked again, bounded
    // as every read-back, and given up, said as not answered.
    void readRefused(const _mcu_cmd &read, bool bCredited);
    // A read of ours given up on this link, no doubt and no link's start behind it: the Z live
    // settings read is said as settings not read (a frame's binding) or not confirmed (a recall's).
    void liveSettingsReadGivenUp(const QByteArray &key);
    // A count read of ours was answered: a write in doubt that saved or renamed a scene numbered
    // beyond the device's count did not make it (no read of that scene follows to say so).
    void scenesBeyondCountAnswered();
    // Says what the notice rules returned (once the handler now running has returned).
    void sayNotice(CNoticeRules::Notice eNotice);
    // The read-backs kept while the link was down, asked once the new link is up.
    void askNextLinkReads();
    // A new link: the reads the console asks on its own are counted from nothing again.
    void ownReadsLinkStart();
    // The operator writes (a hub command): the reads of what it changes may be asked again.
    void operatorWrote(int nCmd, int nSub, const QByteArray &payload);
    // A write was acknowledged: panels put back while it was pending are told the records.
    void writeAcknowledged(const _mcu_cmd &sent);

    // reply handlers (GUI thread)
    bool isTarn() const { return deviceType() == QLatin1String("Tarn"); }
    bool isZ() const { return deviceType() == QLatin1String("Z"); }
    bool actsOnSharedTopics() const;
    // The Tarn canvas converts with this device's screen: a Tarn device that is the one the Tarn
    // editor edits (or any Tarn device while none is edited yet).
    bool drivesTarnCanvas() const;
    void releaseExtraGate();
    void dispatch(const CReplyFrame &f);
    void getDeviceInfo(const CReplyFrame &f);
    void getScreenSize(const CReplyFrame &f);
    void getInputSrcSet(const CReplyFrame &f);
    void getInputSrcState(const CReplyFrame &f);
    void getSceneAndSrcNum(const CReplyFrame &f);
    void getZSceneAndSrcNum(const CReplyFrame &f);
    void trimZScenes();
    bool readSceneAndSrcCounts(const CReplyFrame &f);
    bool answersCountRead();
    void getLayerInfo(const CReplyFrame &f);
    void getSceneInfo(const CReplyFrame &f);
    void getTarnSceneRead(const CReplyFrame &f);
    void getZSceneRead(const CReplyFrame &f);
    void getTarnLayerRead(const CReplyFrame &f);
    void getOutletsetting(const CReplyFrame &f);
    void getOSDInfo(const CReplyFrame &f);
    void getSystemName(const CReplyFrame &f);
    // What the device holds, as last read or acknowledged: the records (the inputs' are changed
    // by reads and acknowledged writes only) and what no record keeps (OSD settings), handed to
    // the panels again after a refusal with the records (name, outputs, scene audio).
    void followHeldWrite(const _mcu_cmd &sent);
    // The OSD records: a read or an acknowledged write changes them, and the editor is shown
    // the state (showOsdState) unless a bitmap transfer to the device switches it meanwhile.
    void holdOsdState(bool bOn);
    void followOsdWrite(const _mcu_cmd &sent);
    void showOsdState();
    void handBackOsd();
    void handBackHeldState();
    // Calls pCall once the handler now running has returned; asked again before then, once only
    // (bPending says it is asked).
    void callOnceLater(bool &bPending, void (CTcpDeviceThread::*pCall)());
    // The output ports and the scenes' audio as the device answers a read of them or
    // acknowledges a write (its payload laid out as the read's answer); false for a payload
    // that holds no such value. A delete moves the scenes' audio in followDeletedScene.
    bool takeOutputSetting(int nSub, const QByteArray &p);
    bool takeSceneAudio(int nSub, const QByteArray &p);
    // A save [source, target] the device acknowledged: the target takes the source's audio, and
    // a new scene after the last counts as stored (one further on is learnt from the counts).
    void followSceneSave(const QByteArray &p);
    // A delete or save of unknown fate: the audio of the scenes it would have changed is not known
    // any more and is forgotten (the audio dialog reads its scene's when it opens).
    void forgetSceneAudioInDoubt(const _mcu_cmd &sent);
    // Scene audio records numbered beyond the device's scene count go.
    void dropSceneAudioBeyondCount();
    // The device's rows and the name field of the frame editing it show the name record.
    void tellDeviceName();
    // The Tarn screen size of the records to the Tarn canvas and the frame bound to this device
    // ("slot_tarnScreenHeld": serial, width, height).
    void showTarnScreen();
    // Input records numbered from the source count on leave the list (kept in m_listGoneInputs).
    void dropInputsBeyondCount();
    // The Z device page's input names: the name record of each input below the source count, by
    // input number (empty where none is held), told on "slot_setZDeviceinputname" when it changed.
    void tellZInputNames();
    // A serial port opened (again): a link start, as a connected socket is.
    void serialLineOpened();
    // A good frame came from the device (see sig_deviceHeard).
    void deviceHeard();
    // A start-up read given up on a serial line: the line is lost, as when its device sends
    // nothing (said naming the port, closed, to be connected again).
    void closeSilentLine();
    // A serial device that answers nothing: the line closed as a failed one, said as silent.
    void closeUnansweredLine();
    // The link is down (switched off, lost or refused): what is queued is dropped.
    void linkDown(const char *pszWhy);
    void linkAttempted();
    // The dropped commands, in queue order.
    QList<_mcu_cmd> dropQueuedCommands(const char *pszWhy);
    // Takes the queued commands fnTake accepts out of the queue, in queue order.
    QList<_mcu_cmd> takeQueued(const std::function<bool(const _mcu_cmd &)> &fnTake);
    void scheduleShowLastRead();
    // Takes one of our count reads still unanswered; false when none is open.
    bool takeOpenCountRead();
    // Reads refused at the queue's bound, asked again once the queue has room.
    void askWantedReads();
    CTarnSceneRecord *findTarnScene(int nId) const;
    void removeTarnScene(int nIndex);
    // A read of scene nId answered with the scene: the scene count is at least nId.
    void sceneHeld(int nId);
    // A delete the device acknowledged: the live scene, the scene count and the scenes' audio follow.
    void followDeletedScene(int nDeleted);
    // The scene id of the recall (20) or delete (30) the reply being handled answers, or -1.
    int answeredSceneCommand(int nSub) const;
    void queueStartReads();
    void notifySetDeviceCmd(const QString &strName, const QByteArray &payload, int nReadOrWrite, int nSub);
    void notifyZSceneList();
    // The topic with this device's serial as its one argument.
    void notifySerial(const char *pszTopic);
    // The input records to this device's source rows; the main input to the Z source strip.
    void notifyInputs();
    void notifyZSourceStrip();
    // A Z device's acknowledgement or refusal of a write to its live settings; pSent is the
    // command it answers, null when the reply could not be matched to one.
    void followZSettingsWrite(const CReplyFrame &f, const _mcu_cmd *pSent);
    // Puts what the live settings write sent writes into settings; false for a write it cannot read.
    static bool applyZSettingsWrite(const _mcu_cmd &sent, SystemInfo &settings);
    void readZSettings();
    // A live settings read (34/0) answered: the record takes what the device held then, and the
    // settings page is shown it with the writes made after the read, still pending, over it.
    void takeZLiveSettings(const QByteArray &payload);
    // The live settings as the record holds them, with the settings writes sent after the command
    // numbered nAnswerSeq (queued ones too) over them, in the order they go.
    SystemInfo settingsWithPendingWrites(qint64 nAnswerSeq) const;
    // Queues a read of one stored scene (its layers follow when it has any), unless the same read
    // waits in the queue or in flight.
    void readScene(int nSceneId);
    // A Tarn scene or layer read refused or left unanswered, or a Z scene read left unanswered:
    // the editor would keep what the read was to put right (the strip would lack the scene). The
    // scene is read again, at most MaxSceneReadRetries times per link until the operator acts on
    // that scene again; then the panels are shown the records and, of a Tarn scene, the operator
    // is told at each give-up that the canvas was not refreshed. A read sent before a delete was
    // answered named the scene by the numbering the delete ended: not a failure.
    void sceneReadNotAnswered(const _mcu_cmd &cmd, Ending eEnding);
    // A Tarn scene or layer read answered of unclear owner left a doubt of that scene waiting:
    // unless a layer read follows, the scene is read again within the same bound, and at the
    // bound the doubt is given up (said as not known; the records, and the canvas, hold the
    // answer).
    void sceneReadOfUnclearOwner(const _mcu_cmd &read);
    void showCanvasNotice();
    // The device took the delete of scene nDeleted, numbered nDeleteSeq: the scene reads still
    // queued or wanted, the counts of our reads and the doubts of writes sent before it follow the
    // device's new numbering; a doubt moved reads its scene again.
    void renumberAfterDelete(int nDeleted, qint64 nDeleteSeq);
    // The reply being handled answers a read of ours of scene nId (scene or layer read, bSub), in
    // time: the scene was read whole.
    bool answersSceneRead(int nId, int nSub) const;
    // A Tarn scene read (35, sub-command 0) or layer read (80).
    bool isTarnSceneRead(const _mcu_cmd &cmd) const;
    // A Tarn scene read whose scene has layers in use: its answer queued the layer read that
    // answers for the scene.
    bool layerReadFollows(const _mcu_cmd &read) const;
    // A Tarn device's acknowledgement or refusal of a layer write to its live scene: the scene's
    // records take what the device took, and a refused or unmatched one reads the scene again.
    void followTarnLayerWrite(const CReplyFrame &f, const _mcu_cmd *pSent);
    bool applyTarnLayerWrite(CTarnSceneRecord &scene, const _mcu_cmd &sent);

    QList<CTarnSceneRecord *> m_listScene;
    QList<ZSceneInfo *> m_listZScene;
    QList<QString> m_inputstrname;
    QString m_strIp;
    std::atomic<bool> m_bIsConnected{false};
    std::atomic<bool> m_bStop{false};
    int m_nExtraValue1 = 0;
    int m_nExtraValue2 = 0;
    int m_nSendIndex = -1;
    int m_nRecvIndex = -1;
    int m_nSendExtraVal = -1;
    int m_nRecvExtraVal = -1;
    int mcu_type = CDeviceFrame::TypeDevice;
    int window_pc = CDeviceFrame::TypeRequest;
    QString m_strSerial;
    int m_nPort = 0;
    std::atomic<bool> m_bCanConnected{false};
    std::atomic<bool> m_bCanSerislPortConnected{false};
    bool m_bGetEquipmentMessages = true;
    bool m_bGetZSencedate = false;
    // The operator was told of the present loss of the link (GUI thread): attempts made again
    // while the device still refuses say nothing more until the link was up again.
    bool m_bLinkLossShown = false;
    bool m_bClosingSilentLine = false; // the line is being closed for the device's silence
    // A good frame came from the device on the present link (GUI thread).
    bool m_bDeviceHeard = false;
    CTcpSocket *m_pTcpSocket = nullptr;
    SerislPort *m_pSerislPort = nullptr;
    DeviceInfo *m_pDeviceInfo = nullptr;
    SystemInfo *m_pSystemInfo = nullptr;
    QMutex *m_pMutexRecv = nullptr;   // state lock: pacing fields (always taken before the queue lock)
    QMutex *m_pMutexSend = nullptr;   // queue lock
    int m_nSubIndex3 = -1;
    QList<_mcu_cmd *> m_listMcuCmd;
    // A command beyond this many queued ones is refused (and logged): a device's largest reading
    // round (every input and every scene) stays far below it.
    enum { MaxQueuedCommands = 1024 };
    // Count reads (33) sent and not answered yet (state lock): only a count reply that answers
    // one of them queues the reads that follow the counts.
    int m_nOpenCountReads = 0;
    // GUI thread: see the top of this file.
    bool m_bLinkDown = false;
    // Commands queued while handling the loss itself wait for the next link (the OSD switch-on).
    bool m_bKeepForNextLink = false;
    bool m_bShowLastReadPending = false;
    // Handing the held state out: what the panels send back meanwhile (their own read-backs)
    // asks for no second hand-back.
    bool m_bHandingBack = false;
    // What is said of the writes and reads that ended (GUI thread), and the notice to say next.
    CNoticeRules m_notices;
    QList<CNoticeRules::Notice> m_listSaidNotices; // to be shown on the next pass, each kind once
    bool m_bRefusalNoticePending = false;
    // Scene id -> reads of that scene that failed on this link since it was last read whole in
    // answer to a read of ours, or the operator acted on it. Past MaxSceneReadRetries + 1 a
    // failure is only logged.
    QHash<int, int> m_hashSceneReadFailures;
    enum { MaxSceneReadRetries = 2 };
    bool m_bCanvasNoticePending = false;
    // The last command sent (its ledger number) when the last Tarn scene delete was answered (-1:
    // none): reads numbered up to it named scenes by the numbering before it.
    qint64 m_nSceneDeleteSeq = -1;
    // A scene delete left unanswered, its ledger number (state lock; 0: none), its scene and the
    // scenes the device held before it (GUI thread). Until its fate is known (its late answer, or
    // a count read sent after it answered) commands naming a scene wait: the device may number
    // the scenes behind it anew.
    qint64 m_nDeleteInDoubtSeq = 0;
    int m_nDeleteInDoubtScene = 0;
    int m_nScenesBeforeDelete = 0;
    // The last reply that answered a command of ours: the last command sent when it came, and the
    // command it answers (ledger numbers, GUI thread). Over a serial line a read ended at the
    // time-out while the device went on answering commands sent before it sits behind a backlog:
    // its answer comes late, and is taken then.
    qint64 m_nSentByLastAnswerSeq = -1;
    qint64 m_nLastAnsweredSeq = -1;
    // Read-backs asked on this link, by read (command, sub-command, payload), and those kept for
    // the next link (GUI thread).
    QHash<QByteArray, int> m_hashOwnReads;
    enum { MaxOwnReads = 3 };
    // The reads of this link's start, by read, until answered: dropped with the link they are not
    // kept, the next link's start reads them anyway (GUI thread).
    QSet<QByteArray> m_setStartupReads;
    // The reads asked for a frame bound (askOwnRead), by read, while no write made since may
    // change what they answer: given up, a page is not shown the device's values, and no change is
    // unconfirmed (GUI thread).
    QSet<QByteArray> m_setAskedReads;
    bool m_bSilentLinePending = false;
    QList<_mcu_cmd> m_listNextLinkReads;
    // Reads answered on this link, by read: the latest one answered, its ledger number (GUI thread).
    QHash<QByteArray, qint64> m_hashReadAnsweredSeq;
    // Records (GUI thread; see CDeviceRecords).
    QString m_strDeviceName;
    bool m_bNameRead = false;
    bool m_bSystemRead = false;
    COutputsRecord m_outputs;
    QMap<int, CSceneAudioRecord> m_sceneAudio;   // by scene number
    // Input records the device no longer has (see dropInputsBeyondCount), freed with the worker.
    std::vector<std::unique_ptr<InputSource>> m_listGoneInputs;
    // The device's OSD (GUI thread): on or off, once read or switched by a write it acknowledged;
    // its settings as the OSD parameter write lays them out (index, 0, font and background
    // transparency, speed, x, y, w, h, font and background colour), once read or taken whole.
    enum { OsdSettingsSize = 19 };
    bool m_bOsdKnown = false;
    bool m_bOsdOn = false;
    QByteArray m_osdSettings;
    // The commands sent and not answered yet, and those ended unanswered a reply may still come
    // for (state lock; see CCommandLedger). The gate lets commands of the id last answered follow
    // each other without waiting, so several may be in flight; at MaxInFlight the queue waits for
    // replies.
    CCommandLedger m_ledger;
    enum { MaxInFlight = CCommandLedger::MaxInFlight };
    QElapsedTimer m_clock; // the worker's clock
    std::atomic<qint64> m_nClockStepMs{0}; // tests: how far the clock was moved on
    std::atomic<qint64> m_nClockHeldMs{-1}; // tests: where the clock stands still (-1: it runs)
    // Serial: runs to the next command's reply time-out, counted from when its bytes were
    // written (GUI thread). Before it ends anything, what the line holds is taken in.
    QTimer *m_pReplyTimer = nullptr;
    enum { ReplyTakeInMs = 50 };
    // The GUI thread is ending what a reply (or the serial time-out) ended (state lock): until it
    // has, nothing leaves, for an ending may take queued commands along (a recall the device did
    // not take, the layer writes queued behind it) and the gate is already open.
    bool m_bEndingCommands = false;
    // The command the reply being handled answers (GUI thread, valid during dispatch).
    _mcu_cmd m_answered;
    bool m_bAnswered = false;
    // Credited to none: the oldest command of ours the reply may answer, its number (-1: none).
    qint64 m_nAnswersSeqFrom = -1;
    // Panels were shown the records while writes were still pending: once none is, they are
    // shown the records again, so that what the device took meanwhile shows.
    bool m_bReshowWhenSettled = false;
    // Reads refused at the queue's bound (GUI thread), asked again once it has room.
    QList<_mcu_cmd> m_listWantedReads;
    enum { MaxWantedReads = 64 };
    // Nothing came from the device for three heartbeat periods, and what was written since it last
    // spoke went unanswered for two of them: the link is lost (TCP only). Frames the console made
    // but had not written yet (its GUI thread busy) count from when they were written.
    QTimer *m_pSilenceTimer = nullptr;
    // Since the first frame written after the last bytes came from the device (invalid: none).
    QElapsedTimer m_firstUnheardWrite;
    qint64 silenceLeftMs() const;
    // The period ran out: one more short wait, in which whatever this thread was too busy to take
    // in arrives, before the link counts as lost.
    bool m_bSilenceConfirming = false;
    enum { SilenceConfirmMs = 300 };
    // Serial: the silent device was asked once more (silenceAskLeftMs); since when the first frame
    // written after that went out (invalid: none yet).
    bool m_bSilenceAsked = false;
    QElapsedTimer m_silenceAskWritten;
    qint64 silenceAskLeftMs();

    QString m_strDevType;
    CDeviceFrameReader m_reader;
    bool m_bDraining = false;

    // waiting
    QMutex m_wakeMutex;
    QWaitCondition m_wakeCond;
    bool m_bWake = false;
    QElapsedTimer m_sentTimer;           // since the last frame went out (state lock)
    std::atomic<int> m_nHeartbeatMs{3000};
    std::atomic<int> m_nReplyTimeoutMs{3000};

    static QString s_strEditedSerial;
    static QHash<QString, QString> s_editedSerialByFamily;
};

#endif // TCPDEVICETHREAD_H
