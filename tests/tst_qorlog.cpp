#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QThread>

#include "QorLog.h"

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}

class TestQorLog : public QObject
{
    Q_OBJECT

    QString m_strDir;
    QDateTime m_now;
    CQorLog *m_pLog = nullptr;

    QString dayFile(const QDate &day) const
    {
        return QString("%1/tst_qorlog_log_%2.txt").arg(m_strDir, day.toString("yyyy-MM-dd"));
    }
    QStringList txtFiles() const
    {
        return QDir(m_strDir).entryList(QStringList("*.txt"), QDir::Files, QDir::Name);
    }

private slots:
    void init()
    {
        m_strDir = QDir::current().absoluteFilePath(QString("logs_%1").arg(QTest::currentTestFunction()));
        QDir(m_strDir).removeRecursively();
        m_now = QDateTime(QDate(2026, 3, 14), QTime(23, 59, 50));
        m_pLog = new CQorLog;
        m_pLog->setLogPath(m_strDir);
        m_pLog->setTimeSource([this] { return m_now; });
    }
    void cleanup()
    {
        delete m_pLog; // also restores the message output
        m_pLog = nullptr;
    }

    void nothingUntilSwitchedOn()
    {
        QVERIFY(QDir(m_strDir).exists());
        QCOMPARE(CQorLog::instance(), CQorLog::instance());
        qDebug("not logged");
        QVERIFY(txtFiles().isEmpty());
    }

    void fileSinkAndSwitchingOff()
    {
        m_pLog->handler(CQorLog::eSave);
        qDebug("first");
        qWarning("second %d", 2);
        qInfo() << "third";
        QCOMPARE(m_pLog->currentFileName(), dayFile(m_now.date()));
        m_pLog->handler(CQorLog::eSave); // same flags: nothing changes
        QCOMPARE(m_pLog->currentFileName(), dayFile(m_now.date()));
        m_pLog->handler(CQorLog::HandlerFlags());
        QVERIFY(m_pLog->currentFileName().isEmpty());
        qDebug("after switching off");
        QCOMPARE(readAll(dayFile(m_now.date())), QByteArray("first\nsecond 2\nthird\n"));
    }

    void newFileAfterMidnight()
    {
        m_pLog->handler(CQorLog::eSave);
        qDebug("late");
        m_now = m_now.addSecs(20);
        qDebug("early");
        QCOMPARE(readAll(dayFile(QDate(2026, 3, 14))), QByteArray("late\n"));
        QCOMPARE(readAll(dayFile(QDate(2026, 3, 15))), QByteArray("early\n"));
    }

    void fileOpenedAgainAfterAFailure()
    {
        m_pLog->handler(CQorLog::eSave);
        QVERIFY(QDir(m_strDir).removeRecursively());
        qDebug("lost");        // the folder is gone: nothing can be written
        QVERIFY(QDir().mkpath(m_strDir));
        qDebug("kept");        // the same day's file is opened on the next message
        QCOMPARE(readAll(dayFile(m_now.date())), QByteArray("kept\n"));
    }

    void rotationKeepsUniqueNames()
    {
        m_pLog->setMaxLogSize(10);
        m_pLog->handler(CQorLog::eSave);
        qDebug("0123456789");   // 11 bytes with the line feed: rotated after writing
        qDebug("abcdefghij");   // same second: a second rotated file
        qDebug("short");
        const QString stamp = m_now.toString("yyyy-MM-dd-hhmmss");
        const QString rotated = QString("%1/tst_qorlog_log_%2.txt").arg(m_strDir, stamp);
        const QString rotated2 = QString("%1/tst_qorlog_log_%2_1.txt").arg(m_strDir, stamp);
        QCOMPARE(readAll(rotated), QByteArray("0123456789\n"));
        QCOMPARE(readAll(rotated2), QByteArray("abcdefghij\n"));
        QCOMPARE(readAll(dayFile(m_now.date())), QByteArray("short\n"));
        QCOMPARE(txtFiles().size(), 3);
    }

    void ageCleanUp()
    {
        for (int i = 0; i < 28; ++i) {
            QFile f(QString("%1/tst_qorlog_log_old%2.txt").arg(m_strDir).arg(i));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QFile other(m_strDir + "/other.txt");
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();

        m_now = QDateTime::currentDateTime().addDays(40); // every file is now old
        m_pLog->setSaveDay(30);
        QCOMPARE(txtFiles().size(), 29); // fewer than 30 files: nothing deleted

        QFile one(m_strDir + "/tst_qorlog_log_old28.txt");
        QVERIFY(one.open(QIODevice::WriteOnly));
        one.close();
        m_pLog->setSaveDay(30);
        QCOMPARE(txtFiles(), QStringList("other.txt")); // only the program's own files go

        // files newer than the limit stay
        for (int i = 0; i < 3; ++i) {
            QFile f(QString("%1/tst_qorlog_log_new%2.txt").arg(m_strDir).arg(i));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        m_now = QDateTime::currentDateTime();
        m_pLog->setSaveDay(1);
        QCOMPARE(txtFiles().size(), 4);
    }

    void messagesFromInsideLoggingDoNotDeadlock()
    {
        int calls = 0;
        connect(m_pLog, &CQorLog::sig_newLog, this, [&calls](const QString &) {
            ++calls;
            qWarning("written while a message is handled");
        });
        m_pLog->handler(CQorLog::eNewLog | CQorLog::eSave);
        QSignalSpy spy(m_pLog, &CQorLog::sig_newLog);
        qDebug("outer");
        QCOMPARE(calls, 1);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QString("outer"));
        QCOMPARE(readAll(dayFile(m_now.date())), QByteArray("outer\n"));
    }

    void messagesFromManyThreads()
    {
        m_pLog->handler(CQorLog::eSave);
        QList<QThread *> threads;
        for (int t = 0; t < 4; ++t) {
            threads << QThread::create([t] {
                for (int i = 0; i < 200; ++i)
                    qDebug("thread %d line %d", t, i);
            });
            threads.last()->start();
        }
        for (QThread *thread : threads) {
            QVERIFY(thread->wait(10000));
            delete thread;
        }
        m_pLog->handler(CQorLog::HandlerFlags());
        QCOMPARE(readAll(dayFile(m_now.date())).count('\n'), 800);
    }

    void networkClientsGetLaterMessages()
    {
        m_pLog->setPort(0); // any free port, on localhost
        m_pLog->handler(CQorLog::eNet);
        qDebug("before any client");
        QTRY_VERIFY(m_pLog->netServerPort() != 0);

        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, m_pLog->netServerPort());
        QVERIFY(client.waitForConnected(3000));
        // The server thread takes the connection in its own time: until a text reaches the client.
        QByteArray received;
        QTRY_VERIFY_WITH_TIMEOUT((qDebug("ping"), received += client.readAll()).contains("ping"), 10000);
        qDebug("one");
        qDebug("two");
        QTRY_VERIFY_WITH_TIMEOUT((received += client.readAll()).endsWith("onetwo"), 3000);
        QVERIFY(!received.contains("before any client"));

        // switching the network sink off stops the server and drops the client
        m_pLog->handler(CQorLog::eSave);
        QCOMPARE(m_pLog->netServerPort(), quint16(0));
        QTRY_VERIFY(client.state() == QAbstractSocket::UnconnectedState);
    }
};

VISTEL_TEST_MAIN(TestQorLog)
#include "tst_qorlog.moc"
