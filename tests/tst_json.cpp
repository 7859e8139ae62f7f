#include "TestMain.h"

#include <QFile>

#include "Json.h"

class TestJson : public QObject
{
    Q_OBJECT
private slots:
    void pathsAndDefaults()
    {
        Json json(R"({"a":{"b":3,"d":{"e":"deep"}},"n":2.0,"f":2.5,"s":"text","t":true,
                     "big":1e20,"neg":-7,"arr":["x",1,"y"],"view":{"scene1":{"Width":640}}})");
        QCOMPARE(json.getInt("a.b", -1), 3);
        QCOMPARE(json.getInt("a.c", -1), -1);
        QCOMPARE(json.getInt("x.b", -1), -1);
        QCOMPARE(json.getString("a.d.e"), QString("deep"));
        QCOMPARE(json.getInt("view.scene1.Width"), 640);
        QCOMPARE(json.getInt("a.b.c", -1), -1); // a.b is a number, not an object
        QCOMPARE(json.getInt("neg"), -7);

        // type mismatches give the default
        QCOMPARE(json.getInt("n", -1), 2);
        QCOMPARE(json.getInt("f", -1), -1);
        QCOMPARE(json.getInt("big", -1), -1);
        QCOMPARE(json.getInt("s", -1), -1);
        QCOMPARE(json.getString("n", "def"), QString("def"));
        QCOMPARE(json.getBool("s", true), true);
        QCOMPARE(json.getBool("t", false), true);
        QCOMPARE(json.getDouble("f"), 2.5);
        QCOMPARE(json.getDouble("s", 9.5), 9.5);
        QCOMPARE(json.getDouble("t", 1.0), 1.0);

        QCOMPARE(json.getStringList("arr"), QStringList({"x", "", "y"}));
        QVERIFY(json.getStringList("s").isEmpty());
        QCOMPARE(json.getJsonObject("a.d").value("e").toString(), QString("deep"));
        QVERIFY(json.getJsonObject("s").isEmpty());
        QCOMPARE(json.getJsonArray("arr").size(), 3);
        QVERIFY(json.getJsonArray("a").isEmpty());
        QVERIFY(json.getJsonValue("missing").isUndefined());
    }

    void startNodeReplacesRoot()
    {
        Json json(R"({"w":1,"scene":{"w":2}})");
        const QJsonObject node = json.getJsonObject("scene");
        QCOMPARE(json.getInt("w", 0, node), 2);
        QJsonObject other;
        other["only"] = 5;
        QCOMPARE(json.getInt("w", -1, other), -1);
        QCOMPARE(json.getInt("only", -1, other), 5);
        QCOMPARE(json.getInt("w", -1, QJsonObject()), 1); // empty node: from the root
    }

    void badInputGivesDefaults()
    {
        QTest::ignoreMessage(QtDebugMsg, "Cannot open the file: does/not/exist.json");
        Json missing("does/not/exist.json", true);
        QCOMPARE(missing.getInt("a", 4), 4);
        QCOMPARE(missing.toString(QJsonDocument::Compact), QString("{}"));

        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(", Offset: \\d+$"));
        Json invalid("{\"a\": 1,");
        QCOMPARE(invalid.getInt("a", 4), 4);

        Json notObject("[1,2,3]");
        QCOMPARE(notObject.getInt("0", 4), 4);
    }

    void setSaveAndReadBack()
    {
        Json json;
        json.set("a.b", QJsonValue(5));
        json.set("a.c", QStringList({"p", "q"}));
        json.set("x", QJsonValue(QString::fromUtf8("场景")));
        QCOMPARE(json.getInt("a.b"), 5);
        QCOMPARE(json.getStringList("a.c"), QStringList({"p", "q"}));

        json.set("a", QJsonValue(true)); // the whole member is replaced
        QCOMPARE(json.getBool("a"), true);
        QCOMPARE(json.getInt("a.b", -1), -1);

        json.set("s.t", QJsonValue(1)); // a non-object member on the way becomes an object
        json.set("s.t.u", QJsonValue(2));
        QCOMPARE(json.getInt("s.t.u"), 2);

        QVERIFY(json.save("doc.json", QJsonDocument::Compact));
        Json back("doc.json", true);
        QCOMPARE(back.getString("x"), QString::fromUtf8("场景"));
        QCOMPARE(back.toString(QJsonDocument::Compact), json.toString(QJsonDocument::Compact));
        QVERIFY(!json.save("no/such/dir/doc.json"));
    }
};

VISTEL_TEST_MAIN(TestJson)
#include "tst_json.moc"
