#ifndef QORLOG_H
#define QORLOG_H

#include <QDateTime>
#include <QObject>
#include <QScopedPointer>
#include <QString>

#include <functional>

// Process-wide logging: once switched on by handler(), it takes over the
// framework's message output and sends every message to a daily log file
// (rotated by size, old files cleaned up), to the TCP clients of a small log
// server on localhost, and/or to the signal sig_newLog.
class CQorLog : public QObject
{
    Q_OBJECT
public:
    enum HandlerFlag {
        eSave = 1,   // daily log file
        eNet = 2,    // TCP clients of the log server
        eNewLog = 4  // the signal sig_newLog
    };
    Q_DECLARE_FLAGS(HandlerFlags, HandlerFlag)

    static CQorLog *instance();

    explicit CQorLog(QObject *parent = nullptr);
    ~CQorLog() override;

    // Switches the sinks; with no flag the framework's output is restored.
    void handler(HandlerFlags flags);
    HandlerFlags flags() const;

    int saveDay() const;
    void setSaveDay(int nDays);
    int maxLogSize() const;
    void setMaxLogSize(int nBytes);
    QString logPath() const;
    void setLogPath(const QString &strPath);
    quint16 netPort() const;
    void setPort(quint16 port);

    // The name of the file messages go to now (empty while none is open).
    QString currentFileName() const;
    // The port the log server listens on (0 while there is none).
    quint16 netServerPort() const;
    // Replaces the clock (tests); an empty function restores the real one.
    void setTimeSource(std::function<QDateTime()> now);

    static void LogMessage(QtMsgType type, const QMessageLogContext &context, const QString &msg);

    void newLog(const QString &log);
    void toNet(const QString &log);

signals:
    void sig_newLog(QString log);
    void sig_toNet(QString log);

private:
    void createLogNet();
    void autoDeleteLog();
    void handleMessage(QtMsgType type, const QString &msg);

    class QLogPrivate;
    QLogPrivate *d;
    static QScopedPointer<CQorLog> m_instance;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(CQorLog::HandlerFlags)

#endif // QORLOG_H
