#include "TestMain.h"

#include <QJsonDocument>
#include <functional>
#include <QTemporaryDir>

#include "SceneDocument.h"

namespace {
// A document of the given scenes, each with nItems items of size 10 x 10.
QJsonObject makeDoc(const QList<int> &itemsPerScene)
{
    QJsonObject view;
    for (int k = 0; k < itemsPerScene.size(); ++k) {
        QJsonObject scene;
        scene.insert("SceneName", QString("S%1").arg(k + 1));
        scene.insert("ItemCount", itemsPerScene.at(k));
        for (int i = 1; i <= itemsPerScene.at(k); ++i)
            scene.insert(QString("Item%1").arg(i), QJsonObject{{"Width", 10}, {"Height", 10}, {"Type", 3}});
        view.insert(QString("scene%1").arg(k + 1), scene);
    }
    return QJsonObject{{"Version", "20230420-V0.1"}, {"SceneCount", itemsPerScene.size()}, {"view", view}};
}

QString text(const QJsonObject &obj)
{
    return QString::fromUtf8(QJsonDocument(obj).toJson(QJsonDocument::Compact));
}
}

class TestSceneDocument : public QObject
{
    Q_OBJECT
private slots:
    void readsScenesAndItemsInOrder()
    {
        QVector<CSceneDocument::Scene> scenes;
        QCOMPARE(CSceneDocument::parse(text(makeDoc({2, 0, 1})), scenes), CSceneDocument::Ok);
        QCOMPARE(scenes.size(), 3);
        QCOMPARE(scenes.at(0).strName, QString("S1"));
        QCOMPARE(scenes.at(0).items.size(), 2);
        QCOMPARE(scenes.at(0).items.at(1).rect, QRect(0, 0, 10, 10));
        QCOMPARE(scenes.at(0).items.at(1).nType, 3);
        QCOMPARE(scenes.at(1).items.size(), 0);
        QCOMPARE(scenes.at(2).strName, QString("S3"));
    }

    void refusesDamagedDocumentsWhole_data()
    {
        QTest::addColumn<QString>("json");
        QTest::addColumn<int>("result");
        const QJsonObject good = makeDoc({1, 2});
        QJsonObject doc = good;
        doc.insert("Version", "20230420-V0.2");
        QTest::newRow("another version") << text(doc) << int(CSceneDocument::BadVersion);
        doc = good;
        doc.remove("Version");
        QTest::newRow("no version") << text(doc) << int(CSceneDocument::BadVersion);
        doc = good;
        doc.insert("SceneCount", 0);
        QTest::newRow("no scenes") << text(doc) << int(CSceneDocument::Damaged);
        doc = good;
        doc.insert("SceneCount", 3);
        QTest::newRow("more scenes counted than present") << text(doc) << int(CSceneDocument::Damaged);
        doc = good;
        doc.insert("SceneCount", 1000000000);
        QTest::newRow("a billion scenes") << text(doc) << int(CSceneDocument::Damaged);
        doc = good;
        doc.insert("SceneCount", 1e20);
        QTest::newRow("count beyond int") << text(doc) << int(CSceneDocument::Damaged);

        auto withScene2 = [&](const std::function<void(QJsonObject &)> &edit) {
            QJsonObject d = good;
            QJsonObject view = d.value("view").toObject();
            QJsonObject s2 = view.value("scene2").toObject();
            edit(s2);
            view.insert("scene2", s2);
            d.insert("view", view);
            return text(d);
        };
        QTest::newRow("item count a billion")
            << withScene2([](QJsonObject &s) { s.insert("ItemCount", 1000000000); }) << int(CSceneDocument::Damaged);
        QTest::newRow("item count larger than present")
            << withScene2([](QJsonObject &s) { s.insert("ItemCount", 3); }) << int(CSceneDocument::Damaged);
        QTest::newRow("item without width") << withScene2([](QJsonObject &s) {
            s.insert("Item2", QJsonObject{{"Height", 10}, {"Type", 3}});
        }) << int(CSceneDocument::Damaged);
        QTest::newRow("item of height 0") << withScene2([](QJsonObject &s) {
            s.insert("Item1", QJsonObject{{"Width", 10}, {"Height", 0}, {"Type", 3}});
        }) << int(CSceneDocument::Damaged);
        QTest::newRow("item that is no object")
            << withScene2([](QJsonObject &s) { s.insert("Item2", 7); }) << int(CSceneDocument::Damaged);

        const QString full = text(good);
        QTest::newRow("truncated text") << full.left(full.size() / 2) << int(CSceneDocument::BadVersion);
        QTest::newRow("not JSON") << QString("SceneCount=2") << int(CSceneDocument::BadVersion);
    }

    void refusesDamagedDocumentsWhole()
    {
        QFETCH(QString, json);
        QFETCH(int, result);
        QVector<CSceneDocument::Scene> scenes;
        scenes.append(CSceneDocument::Scene());
        QCOMPARE(int(CSceneDocument::parse(json, scenes)), result);
        QVERIFY(scenes.isEmpty());
    }

    // A scene object that is missing under a count the view can hold is an
    // empty scene without a name, as before.
    void missingSceneObjectIsAnEmptyScene()
    {
        QJsonObject doc = makeDoc({1, 1});
        QJsonObject view = doc.value("view").toObject();
        view.insert("other", view.take("scene2"));
        doc.insert("view", view);
        QVector<CSceneDocument::Scene> scenes;
        QCOMPARE(CSceneDocument::parse(text(doc), scenes), CSceneDocument::Ok);
        QCOMPARE(scenes.size(), 2);
        QVERIFY(scenes.at(1).strName.isEmpty());
        QVERIFY(scenes.at(1).items.isEmpty());
    }

    void colourIsPackedLowerCaseHex()
    {
        QCOMPARE(CSceneDocument::colorText(QColor(43, 43, 43)), QString("ff2b2b2b"));
        QCOMPARE(CSceneDocument::colorText(QColor(0, 0, 0, 10)), QString("ff000000"));
    }

    void writeReplacesTheFileOnlyWhenWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("kelvo.smt");
        QString error;
        QVERIFY(CSceneDocument::writeFile(path, makeDoc({1}), error));
        QString read;
        QVERIFY(CSceneDocument::readFile(path, read, error));
        QVector<CSceneDocument::Scene> scenes;
        QCOMPARE(CSceneDocument::parse(read, scenes), CSceneDocument::Ok);

        // A target that cannot be written: a failure with a reason, the old
        // file untouched.
        QFile blocker(dir.filePath("plain"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        error.clear();
        QVERIFY(!CSceneDocument::writeFile(dir.filePath("plain/kelvo.smt"), makeDoc({1}), error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!CSceneDocument::readFile(dir.filePath("missing.smt"), read, error));
    }
};

VISTEL_TEST_MAIN(TestSceneDocument)
#include "tst_scenedocument.moc"
