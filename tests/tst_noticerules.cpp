#include "TestMain.h"

#include "NoticeRules.h"

// What the operator is told of one device's writes, as a table of event scripts and what is said.
// An event is op[,key,print[,target[,taken]]]@ms[/seq]: a write in doubt (taken: what the records
// would print had the device taken it) or taken (no print: it gives none for the doubts of other
// targets of its read, as for a doubt that prints its own field alone), a read answered. Commands
// are numbered in sending order (seq; a write in doubt's is its ms); a link's seq is the last
// number sent when it came up; a delete of key's scene renames every other key k to k'.
class TestNoticeRules : public QObject
{
    Q_OBJECT

    static QString name(CNoticeRules::Notice e)
    {
        static const char *const s_psz[] = {"", "NotConnected", "Busy", "Refused", "NotMade", "CanvasNotShown", "Unconfirmed"};
        return QString::fromLatin1(s_psz[e]);
    }

private slots:
    void rules_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("said");
        // A write the device holds is never called not made.
        QTest::newRow("read back shows the new value") << "doubt,a,old@0 answer,a,new@300/100" << "";
        QTest::newRow("answered late before its read back") << "doubt,a,old@0 taken,a,new@200/0 answer,a,new@300/100" << "";
        QTest::newRow("a later write of its target taken") << "doubt,a,old@100 taken,a,new@150/120 answer,a,new@300/200" << "";
        QTest::newRow("a later write of another target taken")
            << "doubt,a,old@100 taken,a,mid,u@150/120 answer,a,mid@300/200" << "NotMade";
        // a scene's name: a layer write taken leaves what its doubt compares with
        QTest::newRow("a taken write of another target leaves a field-alone doubt's print")
            << "doubt,a,old,n@100 taken,a,,u@150/120 answer,a,old@300/200" << "NotMade";
        // two targets the read shows (a sound and a brightness): each doubt stands on its own
        QTest::newRow("doubts of two targets, one of them taken")
            << "doubt,a,old@0 doubt,a,old,u@50 taken,a,mid@150/120 answer,a,mid@300/200" << "NotMade";
        // What the device held before the write: the print compared with.
        QTest::newRow("an earlier write of its kind taken") << "doubt,a,old@100 taken,a,mid@150/50 answer,a,mid@300/200" << "NotMade";
        QTest::newRow("a read sent before the write answered")
            << "doubt,a,old@100 answer,a,mid@200/50 answer,a,mid@300/150" << "NotMade";
        // Back with what the last write would hold: made; with another target of the read in doubt: not known.
        QTest::newRow("two writes of one target, the device took the second") << "doubt,a,old,t,n1@0 doubt,a,old,t,n2@50 answer,a,n2@300/100" << "";
        QTest::newRow("writes of two targets, the device took both") << "doubt,a,old,t,n1@0 doubt,a,old,u@50 answer,a,both@300/100" << "";
        // a read sent between two writes of one target tells only what the device held before the second
        QTest::newRow("two writes of one target, a read between them shows the first, the device dropped the second")
            << "doubt,a,old@0 doubt,a,old@100 answer,a,n1@200/50 answer,a,n1@300/150" << "NotMade";
        QTest::newRow("two writes of one value, a read between them shows the first, the device dropped the second")
            << "doubt,a,old,t,n1@0 doubt,a,old,t,n2@100 answer,a,n1@200/50 answer,a,n1@300/150" << "NotMade";
        // The old value read back: not made, once, and only for the doubt of that read.
        QTest::newRow("read back shows the old value") << "doubt,a,old@0 answer,b,old@200/100 answer,a,old@300/100 answer,a,old@400/350"
                                                      << "NotMade";
        // No answer showed the old value: not answered, its fate unknown; a scene the device does
        // not hold was not made.
        QTest::newRow("read back given up") << "giveup,a@0 doubt,a,old@0 giveup,a@100" << "Unconfirmed";
        QTest::newRow("unanswered, no read tells") << "unanswered@100/50" << "Unconfirmed";
        QTest::newRow("read back shows the scene not held") << "notheld,a@0 doubt,a,old@0 notheld,b@50 notheld,a@100" << "NotMade";
        // One notice per event; a burst is the same event repeated.
        QTest::newRow("a burst of refusals") << "refuse@0 refuse@1500 refuse@3000 refuse@5500" << "Refused Refused";
        QTest::newRow("a taken write ends the burst") << "refuse@0 taken,a,x@100/100 full@200" << "Refused Busy";
        QTest::newRow("the device heard on a new link ends the burst")
            << "lost@0 link@100 heard@150 drop@200" << "Unconfirmed NotConnected";
        // links the device accepted but never answered on: the loss said before says it all
        QTest::newRow("links the device never answered on")
            << "lost@0 link@1000 lost@4000/1500 link@5000 drop@8000 drop@12000 link@13000 heard@13100 lost@13200"
            << "Unconfirmed Unconfirmed";
        QTest::newRow("a link never answered on, nothing said since last heard")
            << "heard@0 refuse@100 heard@200 link@5000 lost@9000/5500" << "Refused Unconfirmed";
        // a doubt settled is its own event: said within a burst, and the next ending is news
        QTest::newRow("a doubt settled, then a loss")
            << "refuse@0 doubt,a,old@100 link@200 heard@300 answer,a,old@300/250 lost@400" << "Refused NotMade Unconfirmed";
        // a write of the last link lost on this one: its own news, the burst unchanged
        QTest::newRow("a write of the last link lost on this one")
            << "lost@0 link@100 heard@150 lost@200/50 lost@300 lost@400" << "Unconfirmed Unconfirmed Unconfirmed";
        QTest::newRow("the write sent last before the link came up lost on it, then one never sent")
            << "lost@0 link@100/50 heard@150 lost@200/50 lost@300/60 full@400" << "Unconfirmed Unconfirmed Unconfirmed";
        // a delete numbered 200: what was written before it is named anew (a'), the deleted scene's is moot
        QTest::newRow("a delete, doubts of writes sent before and after it")
            << "doubt,a,old@100 doubt,b,old@300 deleted,b@400/200 answer,b,old@500/450 answer,a',old@600/450" << "NotMade NotMade";
        QTest::newRow("a delete of the scene in doubt") << "doubt,a,old@100 deleted,a@200/150 answer,a,old@300/250 giveup,a@400" << "";
        // its target moves with its read: the same scene renamed again and taken settles it
        QTest::newRow("a delete, a write of the target in doubt taken since")
            << "doubt,a,old,n,new@100 deleted,b@200/150 taken,a',,n'@300/250 answer,a',new2@400/350" << "";
    }
    void rules()
    {
        QFETCH(QString, events);
        QFETCH(QString, said);
        CNoticeRules rules;
        QStringList listSaid;
        for (const QString &strEvent : events.split(' ')) {
            const QStringList at = strEvent.split('@');
            const QStringList op = at.first().split(',');
            const QStringList times = at.last().split('/');
            const qint64 nNow = times.first().toLongLong();
            const QByteArray key = op.value(1).toLatin1();
            const QByteArray print = op.value(2).isEmpty() ? QByteArray() : op.value(2).toLatin1();
            CNoticeRules::Notice e = CNoticeRules::Nothing;
            const QByteArray target = op.value(3, "t").toLatin1();
            if (op.first() == "doubt")
                rules.writeInDoubt(key, target, print, nNow, op.value(4).toLatin1());
            else if (op.first() == "answer")
                e = rules.readAnswered(key, print, times.last().toLongLong(), nNow);
            else if (op.first() == "taken")
                rules.writeTaken(key, target, print, times.last().toLongLong());
            else if (op.first() == "giveup")
                e = rules.readGivenUp(key, nNow);
            else if (op.first() == "notheld")
                e = rules.sceneNotHeld(key);
            else if (op.first() == "unanswered")
                e = rules.writeUnanswered(nNow, times.last().toLongLong());
            else if (op.first() == "refuse")
                e = rules.writeNotTaken(CNoticeRules::DeviceRefused, nNow, times.last().toLongLong());
            else if (op.first() == "full")
                e = rules.writeNotTaken(CNoticeRules::QueueFull, nNow, 0);
            else if (op.first() == "lost")
                e = rules.writeNotTaken(CNoticeRules::LostInFlight, nNow, times.last().toLongLong());
            else if (op.first() == "drop")
                e = rules.writeNotTaken(CNoticeRules::Dropped, nNow, 0);
            else if (op.first() == "link")
                rules.linkBegan(times.last().toLongLong());
            else if (op.first() == "deleted")
                rules.renumbered(times.last().toLongLong(), [&key](const QByteArray &k) { return k == key ? QByteArray() : k + "'"; });
            else if (op.first() == "heard")
                rules.deviceHeard(nNow);
            if (e != CNoticeRules::Nothing)
                listSaid << name(e);
        }
        QCOMPARE(listSaid.join(' '), said);
    }
};

VISTEL_TEST_MAIN(TestNoticeRules)
#include "tst_noticerules.moc"
