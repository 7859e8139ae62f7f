#include "TestMain.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "BesMessageBox.h"
#include "EditBaseItem.h"
#include "EditBaseScene.h"
#include "EditSceneCanvas.h"
#include "SceneDocument.h"
#include "SceneTestUtil.h"

namespace {
// A document of the given scenes, each with nItems items of size 10 x 10.
QJsonObject makeDoc(const QVector<int> &itemsPerScene)
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
    std::unique_ptr<CEditSceneCanvas> m_pCanvas;
    QTemporaryDir m_dir;

private slots:
    // Each test is bounded: a read that blocks or a load that runs away ends
    // the run instead of hanging it.
    void init()
    {
        ::alarm(60);
        m_pCanvas.reset(new CEditSceneCanvas);
        m_pCanvas->newCanvas();
        BesMessageBox::setTestAnswer(QMessageBox::Cancel);
    }
    void cleanup()
    {
        BesMessageBox::clearTestAnswer();
        m_pCanvas.reset();
        ::alarm(0);
    }

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

    // A count that refuses a document is answered from the text before it is
    // parsed, with the answer the parse gives; anything the text leaves in
    // doubt is left to the parse (Ok).
    void countsAreCheckedBeforeTheParse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("early");
        const QByteArray many = text(makeDoc(QVector<int>(300, 1))).toUtf8();
        QTest::newRow("300 scenes") << many << int(CSceneDocument::TooManyScenes);
        QTest::newRow("255 scenes: parsed") << text(makeDoc(QVector<int>(255, 1))).toUtf8() << int(CSceneDocument::Ok);
        QJsonObject doc = makeDoc({1, 2});
        doc.insert("SceneCount", 0);
        QTest::newRow("no scenes") << text(doc).toUtf8() << int(CSceneDocument::Damaged);
        doc.insert("SceneCount", 300);
        QTest::newRow("300 counted, 2 present") << text(doc).toUtf8() << int(CSceneDocument::Damaged);
        QByteArray edited = many;
        QTest::newRow("another version")
            << edited.replace("20230420-V0.1", "20230420-V0.2") << int(CSceneDocument::BadVersion);
        edited = many;
        QTest::newRow("a version written with an escape")
            << edited.replace("V0.1", "V0.\\u0031") << int(CSceneDocument::Ok);
        QTest::newRow("text cut short") << many.left(many.size() - 2) << int(CSceneDocument::Ok);
        edited = many;
        QTest::newRow("a count with a fraction")
            << edited.replace("\"SceneCount\":300", "\"SceneCount\":300.0") << int(CSceneDocument::Ok);
        edited = many;
        QTest::newRow("a byte that is no UTF-8") << edited.replace("S1\"", "S\xff\"") << int(CSceneDocument::Ok);
        QTest::newRow("a count given three times")
            << text(makeDoc({1})).toUtf8().replace("\"SceneCount\":1", "\"SceneCount\":0,\"SceneCount\":1,\"SceneCount\":0")
            << int(CSceneDocument::Ok);
        edited = many;
        QTest::newRow("a version after a byte order mark")
            << edited.replace("\"20230420", "\"\xef\xbb\xbf" "20230420") << int(CSceneDocument::Ok);
        edited = many;
        QTest::newRow("a number too small for a double")
            << edited.replace("\"ItemCount\":1", "\"ItemCount\":0." + QByteArray(330, '0') + "1") << int(CSceneDocument::Ok);
    }
    void countsAreCheckedBeforeTheParse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, early);
        QCOMPARE(int(CSceneDocument::precheck(bytes)), early);
        if (early != CSceneDocument::Ok) {
            QVector<CSceneDocument::Scene> scenes;
            QCOMPARE(int(CSceneDocument::parse(QJsonDocument::fromJson(bytes).object(), scenes)), early);
        }
    }

    // A scene object that is missing, or empty, under a count the view can hold is an
    // empty scene without a name, as before; the document's own "SceneName" is no scene's.
    void missingSceneObjectIsAnEmptyScene()
    {
        QJsonObject doc = makeDoc({1, 1, 1});
        doc.insert("SceneName", "FROM-ROOT");
        QJsonObject view = doc.value("view").toObject();
        view.insert("other", view.take("scene2"));
        view.insert("scene3", QJsonObject());
        doc.insert("view", view);
        QVector<CSceneDocument::Scene> scenes;
        QCOMPARE(CSceneDocument::parse(text(doc), scenes), CSceneDocument::Ok);
        QCOMPARE(scenes.size(), 3);
        QCOMPARE(scenes.at(0).strName, QString("S1"));
        for (int k : {1, 2}) {
            QVERIFY(scenes.at(k).strName.isEmpty());
            QVERIFY(scenes.at(k).items.isEmpty());
        }
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
        QCOMPARE(CSceneDocument::readFile(path, read, error), CSceneDocument::ReadOk);
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
    }

    // A document holds at most the scenes a device stores, and a path that
    // gives no document says why; a refusal leaves the canvas as it was.
    void loadsOrSaysWhy_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");  // empty: loaded
        QTest::newRow("255 scenes, a full device") << "255" << QString();
        QTest::newRow("a byte that is no UTF-8") << "stray" << QString();
        QTest::newRow("256 scenes") << "256" << QString::fromUtf8("工程文件场景过多：最多255个场景");
        QTest::newRow("2000 scenes") << "2000" << QString::fromUtf8("工程文件场景过多：最多255个场景");
        QTest::newRow("missing") << "missing" << QString::fromUtf8("工程文件不存在：");
        QTest::newRow("folder") << "folder" << QString::fromUtf8("所选路径是文件夹，不是工程文件：");
        QTest::newRow("no permission") << "chmod" << QString::fromUtf8("工程文件无法读取：");
        QTest::newRow("a pipe") << "fifo" << QString::fromUtf8("工程文件无法读取：");
        QTest::newRow("one byte over the bound") << "large" << QString::fromUtf8("工程文件过大，最大支持128 MB");
    }
    void loadsOrSaysWhy()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        const QString path = m_dir.filePath(kind + ".smt");
        const int nScenes = qMax(1, kind.toInt());
        QString error;
        if (kind == "chmod" && ::geteuid() == 0)
            QSKIP("root reads a file of any mode");
        if (kind == "folder")
            QVERIFY(QDir(m_dir.path()).mkdir(kind + ".smt"));
        else if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind != "missing" && kind != "stray")
            QVERIFY(CSceneDocument::writeFile(path, makeDoc(QVector<int>(nScenes, 1)), error));
        if (kind == "stray") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text(makeDoc({1})).toUtf8().replace("S1", "S\xff"));
        }
        if (kind == "large")
            QVERIFY(QFile(path).resize(CSceneDocument::MAX_FILE_BYTES + 1));
        if (kind == "chmod")
            QVERIFY(QFile(path).setPermissions(QFileDevice::Permissions()));
        const QList<CEditBaseScene *> before = m_pCanvas->sceneList();
        QCOMPARE(m_pCanvas->loadProjectFile(path, nullptr), message.isEmpty());
        const QList<CEditBaseScene *> after = m_pCanvas->sceneList();
        if (message.isEmpty()) {
            // Ids 1..n in document order; a new scene takes the lowest freed id.
            QCOMPARE(after.size(), nScenes);
            QCOMPARE(int(after.last()->getSceneID()), nScenes);
            m_pCanvas->slot_deleteSceneById(nScenes / 2 + 1);
            QCOMPARE(m_pCanvas->getNewSceneID(), nScenes / 2 + 1);
            return;
        }
        QVERIFY2(BesMessageBox::testRecords().last().text.startsWith(message),
                 qPrintable(BesMessageBox::testRecords().last().text));
        QCOMPARE(after, before);
    }

    // A layer thinner than half a canvas unit (one device pixel on a large
    // screen), or one the device reported without a size, is written so that
    // the document loads again.
    void thinLayersAreReadBack()
    {
        SceneTest::useDeviceCanvas(); // a layer is made only where the device has a canvas
        CEditBaseScene *pScene = m_pCanvas->currentScene();
        qreal dDuration = 0;
        for (const QSizeF &size : {QSizeF(0.25, 40), QSizeF(40, 0)}) {
            const int nId = pScene->createSingleTextItem("", "IN", QSize(100, 100), QPointF(50, 50), dDuration, 1);
            pScene->itemById(nId)->setWidth(size.width());
            pScene->itemById(nId)->setHeight(size.height());
        }
        const QString path = m_dir.filePath("thin.smt");
        QVERIFY(m_pCanvas->saveProjectFile(path, nullptr));
        QVERIFY2(m_pCanvas->loadProjectFile(path, nullptr), qPrintable(BesMessageBox::testRecords().last().text));
    }
};

VISTEL_TEST_MAIN(TestSceneDocument)
#include "tst_scenedocument.moc"
