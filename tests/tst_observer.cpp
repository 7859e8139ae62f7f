#include "TestMain.h"

#include <QThread>

#include "globalObserver.h"

namespace {
QStringList g_log; // every slot call, in call order, across receivers
}

class Receiver : public QObject
{
    Q_OBJECT
public:
    explicit Receiver(const QString &name, QObject *parent = nullptr)
        : QObject(parent), m_strName(name) {}
    ~Receiver() override
    {
        if (m_bDetachOnDestroy) {
            globalObserver::getGlobalObserver()->detach("slot_value", this);
            globalObserver::getGlobalObserver()->detach("slot_query", this);
        }
    }

    QString m_strName;
    bool m_bDetachOnDestroy = true;
    Receiver *m_pVictim = nullptr;      // detached or deleted from inside a slot
    bool m_bDeleteVictim = false;
    Receiver *m_pNewcomer = nullptr;    // attached from inside a slot
    Qt::HANDLE m_threadOfLastCall = nullptr;
    int m_nQueryAnswer = 0;

public slots:
    void slot_value(int n)
    {
        g_log << QString("%1:int:%2").arg(m_strName).arg(n);
        if (m_pVictim) {
            if (m_bDeleteVictim)
                delete m_pVictim;
            else
                globalObserver::getGlobalObserver()->detach("slot_value", m_pVictim);
            m_pVictim = nullptr;
        }
        if (m_pNewcomer)
            globalObserver::getGlobalObserver()->attach("slot_value", m_pNewcomer, "slot_value");
    }
    void slot_value(const QString &s) { g_log << QString("%1:str:%2").arg(m_strName, s); }
    void slot_value(int n, const QString &s) { g_log << QString("%1:int,str:%2,%3").arg(m_strName).arg(n).arg(s); }
    void slot_query(int nId, int &nAnswer)
    {
        g_log << QString("%1:query:%2:%3").arg(m_strName).arg(nId).arg(nAnswer);
        nAnswer += m_nQueryAnswer;
    }
    void slot_newDevice(const QStringList &list)
    {
        m_threadOfLastCall = QThread::currentThreadId();
        g_log << QString("%1:device:%2").arg(m_strName, list.join(','));
    }
};

class TestObserver : public QObject
{
    Q_OBJECT
    globalObserver *hub() { return globalObserver::getGlobalObserver(); }

private slots:
    void init() { g_log.clear(); }
    void cleanup() { globalObserver::release(); }

    void singleInstance()
    {
        QVERIFY(hub() != nullptr);
        QCOMPARE(hub(), globalObserver::getGlobalObserver());
    }

    void overloadChosenByArgumentTypes()
    {
        Receiver r("r");
        hub()->attach("slot_value", &r, "slot_value");
        int n = 7;
        QString s("x");
        hub()->notify("slot_value", Q_ARG(int, n));
        hub()->notify("slot_value", Q_ARG(QString, s));
        hub()->notify("slot_value", Q_ARG(int, n), Q_ARG(QString, s));
        QCOMPARE(g_log, QStringList({"r:int:7", "r:str:x", "r:int,str:7,x"}));
    }

    void unmatchedTypesAndTopicsDoNothing()
    {
        Receiver a("a"), b("b");
        hub()->attach("slot_value", &a, "slot_value");
        hub()->attach("slot_value", &b, "slot_value");
        double d = 1.5;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("No such method"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("No such method"));
        hub()->notify("slot_value", Q_ARG(double, d));
        QVERIFY(g_log.isEmpty());

        int n = 1;
        hub()->notify("Slot_value", Q_ARG(int, n));   // topics are case-sensitive
        hub()->notify("slot_value ", Q_ARG(int, n));  // and not trimmed
        QVERIFY(g_log.isEmpty());

        int answer = 41;
        hub()->notify("slot_query", Q_ARG(int, n), Q_ARG(int &, answer));
        QCOMPARE(answer, 41); // no receiver: the sender's value stays
    }

    void orderAndReferenceAnswers()
    {
        Receiver a("a"), b("b");
        a.m_nQueryAnswer = 1;
        b.m_nQueryAnswer = 10;
        hub()->attach("slot_query", &a, "slot_query");
        hub()->attach("slot_query", &b, "slot_query");
        int id = 3, answer = 100;
        hub()->notify("slot_query", Q_ARG(int, id), Q_ARG(int &, answer));
        QCOMPARE(answer, 111);
        // b sees what a wrote before it
        QCOMPARE(g_log, QStringList({"a:query:3:100", "b:query:3:101"}));
    }

    void duplicatesAndDetach()
    {
        Receiver a("a"), b("b");
        hub()->attach("slot_value", &a, "slot_value");
        hub()->attach("slot_value", &b, "slot_value");
        hub()->attach("slot_value", &a, "slot_value");
        int n = 1;
        hub()->notify("slot_value", Q_ARG(int, n));
        QCOMPARE(g_log, QStringList({"a:int:1", "b:int:1", "a:int:1"}));

        // one detach removes the oldest equal subscription only
        g_log.clear();
        hub()->detach("slot_value", &a);
        hub()->notify("slot_value", Q_ARG(int, n));
        QCOMPARE(g_log, QStringList({"b:int:1", "a:int:1"}));

        // detach of a pair not subscribed does nothing
        hub()->detach("slot_other", &a);
        hub()->detach("slot_value", this);
        QCOMPARE(hub()->subscriptionCount("slot_value"), 2);
    }

    void detachDuringDelivery()
    {
        Receiver a("a"), b("b"), c("c");
        a.m_pVictim = &b;
        hub()->attach("slot_value", &a, "slot_value");
        hub()->attach("slot_value", &b, "slot_value");
        hub()->attach("slot_value", &c, "slot_value");
        int n = 2;
        hub()->notify("slot_value", Q_ARG(int, n));
        QCOMPARE(g_log, QStringList({"a:int:2", "c:int:2"}));
    }

    void receiverDeletedDuringDelivery()
    {
        Receiver a("a"), c("c");
        auto *b = new Receiver("b");
        a.m_pVictim = b;
        a.m_bDeleteVictim = true;
        hub()->attach("slot_value", &a, "slot_value");
        hub()->attach("slot_value", b, "slot_value");
        hub()->attach("slot_value", &c, "slot_value");
        int n = 3;
        hub()->notify("slot_value", Q_ARG(int, n));
        QCOMPARE(g_log, QStringList({"a:int:3", "c:int:3"}));
    }

    void attachDuringDeliveryWaitsForNextNotification()
    {
        Receiver a("a"), late("late");
        a.m_pNewcomer = &late;
        hub()->attach("slot_value", &a, "slot_value");
        int n = 4;
        hub()->notify("slot_value", Q_ARG(int, n));
        QCOMPARE(g_log, QStringList({"a:int:4"}));
        a.m_pNewcomer = nullptr;
        g_log.clear();
        hub()->notify("slot_value", Q_ARG(int, n));
        QCOMPARE(g_log, QStringList({"a:int:4", "late:int:4"}));
    }

    void destroyedReceiverIsNeverCalled()
    {
        Receiver a("a");
        auto *gone = new Receiver("gone");
        gone->m_bDetachOnDestroy = false; // forgets to detach
        hub()->attach("slot_value", gone, "slot_value");
        hub()->attach("slot_value", &a, "slot_value");
        delete gone;
        int n = 5;
        hub()->notify("slot_value", Q_ARG(int, n));
        QCOMPARE(g_log, QStringList({"a:int:5"}));
        QCOMPARE(hub()->subscriptionCount("slot_value"), 1);
    }

    void methodNameIsCopied()
    {
        Receiver a("a");
        QByteArray name("slot_value");
        hub()->attach("slot_value", &a, name.constData());
        name.fill('z');
        int n = 6;
        hub()->notify("slot_value", Q_ARG(int, n));
        QCOMPARE(g_log, QStringList({"a:int:6"}));
    }

    // The delivery rules hold with many topics: each topic keeps its own
    // order, a notification reaches only its topic, detaching during a
    // delivery and destroyed receivers behave as with one topic.
    void manyTopicsKeepTheirOwnRules()
    {
        Receiver a("a"), b("b"), c("c");
        auto *gone = new Receiver("gone");
        gone->m_bDetachOnDestroy = false;
        const int nTopics = 300;
        for (int i = 0; i < nTopics; ++i) {
            const QString strTopic = QString("t%1").arg(i);
            const QList<Receiver *> order = (i % 2) ? QList<Receiver *>{&c, gone, &b, &a}
                                                    : QList<Receiver *>{&a, &b, gone, &c};
            for (Receiver *r : order)
                hub()->attach(strTopic, r, "slot_value");
        }
        hub()->attach("slot_value", &a, "slot_value");
        hub()->attach("slot_value", &b, "slot_value");
        hub()->attach("slot_value", &c, "slot_value");
        hub()->attach("t3", &a, "slot_value");
        QCOMPARE(hub()->subscriptionCount(), nTopics * 4 + 4);

        int n = 1;
        hub()->notify("t7", Q_ARG(int, n));
        QCOMPARE(g_log, QStringList({"c:int:1", "gone:int:1", "b:int:1", "a:int:1"}));
        g_log.clear();
        hub()->notify("t8", Q_ARG(int, n));
        QCOMPARE(g_log, QStringList({"a:int:1", "b:int:1", "gone:int:1", "c:int:1"}));

        // Destroyed without detaching: skipped and dropped, in every topic.
        delete gone;
        g_log.clear();
        hub()->notify("t8", Q_ARG(int, n));
        QCOMPARE(g_log, QStringList({"a:int:1", "b:int:1", "c:int:1"}));
        QCOMPARE(hub()->subscriptionCount("t9"), 3);
        QCOMPARE(hub()->subscriptionCount(), nTopics * 3 + 4);

        // Detached during a delivery of one topic: skipped there, kept elsewhere.
        a.m_pVictim = &b;
        g_log.clear();
        hub()->notify("slot_value", Q_ARG(int, n));
        QCOMPARE(g_log, QStringList({"a:int:1", "c:int:1"}));
        g_log.clear();
        hub()->notify("t5", Q_ARG(int, n));
        QCOMPARE(g_log, QStringList({"c:int:1", "b:int:1", "a:int:1"}));

        // detach takes the oldest equal subscription of that topic only.
        g_log.clear();
        hub()->detach("t3", &a);
        hub()->notify("t3", Q_ARG(int, n));
        QCOMPARE(g_log, QStringList({"c:int:1", "b:int:1", "a:int:1"}));
        QCOMPARE(hub()->subscriptionCount("t4"), 3);
        for (int i = 0; i < nTopics; ++i) {
            for (Receiver *r : {&a, &b, &c})
                hub()->detach(QString("t%1").arg(i), r);
        }
        hub()->detach("slot_value", &a);
        hub()->detach("slot_value", &c);
        QCOMPARE(hub()->subscriptionCount(), 0);
    }

    void crossThreadNotificationIsQueued()
    {
        Receiver a("a");
        hub()->attach("slot_newDevice", &a, "slot_newDevice");
        QThread *thread = QThread::create([] {
            QStringList list({"127.0.0.1", "", "Tarn-3", "SN1"});
            globalObserver::getGlobalObserver()->notify("slot_newDevice", Q_ARG(QStringList, list));
        });
        thread->start();
        QVERIFY(thread->wait(5000));
        delete thread;
        QVERIFY(g_log.isEmpty()); // posted, not yet run
        QTRY_COMPARE(g_log, QStringList({"a:device:127.0.0.1,,Tarn-3,SN1"}));
        QCOMPARE(a.m_threadOfLastCall, QThread::currentThreadId());
    }
};

VISTEL_TEST_MAIN(TestObserver)
#include "tst_observer.moc"
