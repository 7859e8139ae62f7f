// The scene list strip and its cards, without a device: the frames' fill, card ids, the
// commands each card sends, the delete and add flows with their notices and questions, and
// cards or strips that go away while one of their nested loops runs.
#include "TestMain.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include "BesMessageBox.h"
#include "CardProgramWidget.h"
#include "FlowLayout.h"
#include "GbkCodec.h"
#include "ProgramListWidget.h"
#include "ProgramSpy.h"
#include "QorGlobal.h"
#include "RollLabel.h"
#include "SceneSaveAsDlg.h"
#include "TestUtil.h"
#include "globalObserver.h"

using namespace ProgramTest;

namespace {
// The cards of a device's scene list, and the add-card where the strip offers it.
void addCards(CProgramListWidget &strip, const QString &strSerial, const QStringList &names, int nTake, int nMax)
{
    for (int i = 0; i < names.size(); ++i)
        strip.addUsedCardItem(i + 1, names.at(i), strSerial, nTake, nMax);
    if (strip.offersAddCard(names.size()))
        strip.slot_updateProgramLayout(strSerial);
}

// What the frames do with a device's scene list (nCount: the device's scene count, -1 not read).
void fill(CProgramListWidget &strip, const QString &strSerial, const QStringList &names, int nTake, int nMax,
          int nCount = -1)
{
    strip.setSceneCount(nCount);
    strip.destroyProgram();
    strip.setBoundDevice(strSerial, nTake, nMax);
    addCards(strip, strSerial, names, nTake, nMax);
}

// What the frames do with the same device's list read again.
void follow(CProgramListWidget &strip, const QString &strSerial, const QStringList &names, int nTake, int nMax)
{
    QVector<QPair<int, QString>> list;
    for (int i = 0; i < names.size(); ++i)
        list.append({i + 1, names.at(i)});
    strip.followScenes(list);
    addCards(strip, strSerial, names, nTake, nMax);
}

QStringList entries(CCardProgramWidget *pCard)
{
    QStringList list;
    QScopedPointer<QMenu> pMenu(pCard->createMenu());
    if (pMenu)
        for (QAction *a : pMenu->actions())
            list << a->text();
    return list;
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

void processDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}
}

class TestProgramList : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        g_strDevType = "Tarn";
        g_strLanguage = "Chinaese";
        g_nOpenCount = 1;
        BesMessageBox::clearTestAnswer();
        BesMessageBox::clearTestRecords();
    }
    void cleanup()
    {
        BesMessageBox::clearTestAnswer();
        processDeferredDeletes();
    }

    void fillNumbersCardsAndAddsOneEmptyCard_data()
    {
        QTest::addColumn<int>("nScenes");
        QTest::addColumn<int>("nMax");
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<int>("nAddId");
        QTest::addColumn<int>("nCount");
        QTest::newRow("room for more") << 3 << 8 << QList<int>{1, 2, 3} << 4 << 3;
        QTest::newRow("full") << 2 << 2 << QList<int>{1, 2} << 0 << 2;
        QTest::newRow("no scenes, count not read") << 0 << 8 << QList<int>{} << 0 << -1;
        // An empty list while the count says there are scenes is no empty device.
        QTest::newRow("no scenes read yet, the count says 2") << 0 << 8 << QList<int>{} << 0 << 2;
        // A device holding none offers the add-card for its first scene.
        QTest::newRow("the device holds none") << 0 << 8 << QList<int>{} << 1 << 0;
    }
    void fillNumbersCardsAndAddsOneEmptyCard()
    {
        QFETCH(int, nScenes);
        QFETCH(int, nMax);
        QFETCH(QList<int>, ids);
        QFETCH(int, nAddId);
        QFETCH(int, nCount);
        CProgramListWidget strip;
        QStringList names;
        for (int i = 0; i < nScenes; ++i)
            names << QString("S%1").arg(i + 1);
        fill(strip, "SN1", names, 2, nMax, nCount);
        QCOMPARE(usedIds(strip), ids);
        CCardProgramWidget *pAdd = addCard(strip);
        QCOMPARE(pAdd ? pAdd->getCardId() : 0, nAddId);
        if (pAdd) {
            QVERIFY(!pAdd->addButton()->isHidden());
            QCOMPARE(strip.cards().last(), pAdd);
        }
        if (nScenes >= 2) {
            QCOMPARE(card(strip, 2)->takeText(), QString::fromUtf8("已调用"));
            QCOMPARE(card(strip, 1)->takeText(), QString::fromUtf8("未调用"));
            QCOMPARE(card(strip, 1)->indexText(), QString("1"));
            QCOMPARE(card(strip, 1)->nameLabel()->text(), QString("S1"));
        }
        // A second fill with the same scenes rebuilds, it does not pile up.
        fill(strip, "SN1", names, 2, nMax, nCount);
        QCOMPARE(usedIds(strip), ids);
        QCOMPARE(addCard(strip) ? addCard(strip)->getCardId() : 0, nAddId);
    }

    void cardNamesFollowTheLanguageRule()
    {
        CProgramListWidget strip;
        g_strLanguage = "English";
        fill(strip, "SN1", {QString::fromUtf8("用户场景"), "", QString::fromUtf8("大厅")}, 1, 3);
        QCOMPARE(card(strip, 1)->nameLabel()->text(), QString("User scenario"));
        QCOMPARE(card(strip, 2)->nameLabel()->text(), QString::fromUtf8("节目2"));
        QCOMPARE(card(strip, 3)->nameLabel()->text(), QString::fromUtf8("大厅"));
        // A fill for an existing id updates that card only.
        strip.addUsedCardItem(3, "Hall", "SN1", 3, 3);
        QCOMPARE(strip.cards().size(), 3);
        QCOMPARE(card(strip, 3)->nameLabel()->text(), QString("Hall"));
        QCOMPARE(card(strip, 3)->takeText(), QString::fromUtf8("已调用"));
    }

    void takeStatusMarksEveryCard()
    {
        CProgramListWidget strip;
        fill(strip, "SN1", {"A", "B", "C"}, 1, 8);
        strip.slot_updateLayoutTakeStatus(3);
        QCOMPARE(strip.takeScene(), 3);
        for (CCardProgramWidget *c : strip.cards())
            QCOMPARE(c->getTake(), 3);
        QCOMPARE(card(strip, 3)->takeText(), QString::fromUtf8("已调用"));
        // The serial form reaches only the strip of that device.
        strip.slot_updateLayoutTakeStatus(2, "OTHER");
        QCOMPARE(strip.takeScene(), 3);
        strip.slot_updateLayoutTakeStatus(2, "SN1");
        QCOMPARE(strip.takeScene(), 2);
    }

    void selectionTellsTheCanvasOrTheSettingsPage()
    {
        CProgramSpy spy;
        for (const QString &strFamily : {QString("Tarn"), QString("Z")}) {
            g_strDevType = strFamily;
            CProgramListWidget strip;
            strip.setDeviceFamily(strFamily);
            fill(strip, "SN1", {"A", "B", "C"}, 2, 8);
            spy.clear();
            QTest::mouseClick(card(strip, 1), Qt::LeftButton);
            QTest::mouseClick(card(strip, 3), Qt::LeftButton);
            QVERIFY(!card(strip, 1)->isSelected());
            QVERIFY(card(strip, 3)->isSelected());
            if (strFamily == "Tarn")
                QCOMPARE(spy.events, QStringList({"slot_changeCanvasScene(1)", "slot_changeCanvasScene(3)"}));
            else
                QCOMPARE(spy.events, QStringList({"slot_IsZReflash(false, SN1)", "slot_setZDeviceScenepreview(1)",
                                                  "slot_IsZReflash(false, SN1)", "slot_setZDeviceScenepreview(3)"}));
            // A right press selects without telling anyone; an empty card ignores presses.
            spy.clear();
            QTest::mouseClick(card(strip, 2), Qt::RightButton);
            QVERIFY(card(strip, 2)->isSelected());
            QTest::mouseClick(addCard(strip), Qt::LeftButton);
            QVERIFY(!addCard(strip)->isSelected());
            QVERIFY(spy.events.isEmpty());
        }
    }

    void menuEntriesByFamily()
    {
        CProgramListWidget strip;
        strip.setDeviceFamily("Tarn");
        fill(strip, "SN1", {"A"}, 1, 8);
        QCOMPARE(entries(card(strip, 1)),
                 QStringList({QString::fromUtf8("更新场景"), QString::fromUtf8("调用场景"), QString::fromUtf8("保存场景"),
                              QString::fromUtf8("保存到场景"), QString::fromUtf8("重命名场景"),
                              QString::fromUtf8("删除场景")}));
        QVERIFY(entries(addCard(strip)).isEmpty());
        strip.setDeviceFamily("Z");
        QCOMPARE(entries(card(strip, 1)), QStringList({QString::fromUtf8("更新场景"), QString::fromUtf8("调用场景"),
                                                       QString::fromUtf8("删除场景")}));
    }

    // Each entry's exact commands: (family, card, taken scene, entry, commands as "name rw sub payload").
    void cardCommands_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("nCard");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("expected");
        const QString op = QString::fromUtf8("场景操作");
        QTest::newRow("Tarn update") << "Tarn" << 3 << QString::fromUtf8("更新场景") << QStringList{op + " 1 0 03"};
        QTest::newRow("Z update, taken") << "Z" << 2 << QString::fromUtf8("更新场景")
                                         << QStringList{QString::fromUtf8("图层设置") + " 1 0 00"};
        QTest::newRow("Z update, not taken") << "Z" << 3 << QString::fromUtf8("更新场景") << QStringList{};
        QTest::newRow("Tarn recall") << "Tarn" << 3 << QString::fromUtf8("调用场景") << QStringList{op + " 2 20 03"};
        QTest::newRow("Z recall") << "Z" << 1 << QString::fromUtf8("调用场景") << QStringList{op + " 2 20 01"};
        QTest::newRow("Tarn save") << "Tarn" << 3 << QString::fromUtf8("保存场景") << QStringList{op + " 2 10 03 03"};
    }
    void cardCommands()
    {
        QFETCH(QString, family);
        QFETCH(int, nCard);
        QFETCH(QString, entry);
        QFETCH(QStringList, expected);
        g_strDevType = family;
        CProgramSpy spy;
        CProgramListWidget strip;
        fill(strip, "SN1", {"A", "B", "C"}, 2, 8);
        spy.clear();
        QVERIFY(chooseEntry(card(strip, nCard), entry));
        QStringList got;
        for (const CSpyCmd &c : spy.cmds) {
            QCOMPARE(c.serial, QString("SN1"));
            got << QString("%1 %2 %3 %4").arg(c.name).arg(c.rw).arg(c.sub).arg(QString::fromLatin1(c.payload.toHex(' ')));
        }
        QCOMPARE(got, expected);
    }

    void recallMarksTheTakenCardAndTellsOthers()
    {
        CProgramSpy spy;
        for (const QString &strFamily : {QString("Tarn"), QString("Z")}) {
            g_strDevType = strFamily;
            CProgramListWidget strip;
            fill(strip, "SN1", {"A", "B", "C"}, 1, 8);
            spy.clear();
            QTest::mouseDClick(card(strip, 3), Qt::LeftButton);
            QCOMPARE(spy.cmdsNamed(QString::fromUtf8("场景操作")).size(), 1);
            QCOMPARE(strip.takeScene(), 3);
            QCOMPARE(card(strip, 3)->takeText(), QString::fromUtf8("已调用"));
            QCOMPARE(card(strip, 1)->takeText(), QString::fromUtf8("未调用"));
            QVERIFY(spy.events.contains("slot_IsZReflash(true, SN1)"));
            // The canvas's taken scene is the Tarn device's; the Z page hears of the take.
            QCOMPARE(spy.events.contains("slot_setTakeScene(3)"), strFamily == "Tarn");
            QCOMPARE(spy.events.contains("slot_setZDeviceSceneTake(3)"), strFamily == "Z");
            QCOMPARE(spy.events.contains("slot_WaitupdateCurrentZDeviceDate()"), strFamily == "Z");
        }
    }

    void doubleClickOnTheAddCardRecallsNothing()
    {
        CProgramSpy spy;
        CProgramListWidget strip;
        fill(strip, "SN1", {"A", "B"}, 1, 8);
        spy.clear();
        QTest::mouseDClick(addCard(strip), Qt::LeftButton);
        QVERIFY(spy.cmds.isEmpty());
        QCOMPARE(strip.takeScene(), 1);
        QCOMPARE(card(strip, 1)->takeText(), QString::fromUtf8("已调用"));
    }

    void renameSendsTwelveGbkBytes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("4 ASCII") << "Hall" << QByteArray("Hall").append(8, '\0');
        // Longer than the device's field: refused, never cut; the editor stays open with the name.
        QTest::newRow("20 ASCII, refused") << "ABCDEFGHIJKLMNOPQRST" << QByteArray();
        QTest::newRow("seven Chinese, 14 bytes, refused") << QString::fromUtf8("一二三四五六七") << QByteArray();
        QTest::newRow("mixed, 13 bytes, refused") << QString::fromUtf8("A一二三四五六") << QByteArray();
    }
    void renameSendsTwelveGbkBytes()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, field);
        CProgramSpy spy;
        spy.nTaken = 2;
        CProgramListWidget strip;
        fill(strip, "SN1", {"A", "B"}, 2, 8);
        strip.show();
        QVERIFY(QTest::qWaitForWindowActive(&strip));
        CCardProgramWidget *pCard = card(strip, 2);
        spy.clear();
        QVERIFY(chooseEntry(pCard, QString::fromUtf8("重命名场景")));
        QVERIFY(pCard->isEditingName());
        QTRY_VERIFY(pCard->nameEditor()->hasFocus()); // hiding it on commit takes its focus away
        QCOMPARE(pCard->nameEditor()->text(), QString("B"));
        pCard->nameEditor()->setText(name);
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        QTest::keyClick(pCard->nameEditor(), Qt::Key_Return);
        if (field.isEmpty()) {
            QVERIFY(pCard->isEditingName() && pCard->nameEditor()->text() == name && spy.cmds.isEmpty());
            QCOMPARE(BesMessageBox::testRecords().size(), 1);
            return;
        }
        QVERIFY(!pCard->isEditingName());
        QCOMPARE(pCard->nameLabel()->text(), name);
        // The name, then a read of the scene that brings back the name the device holds.
        QCOMPARE(spy.cmds.size(), 2);
        QCOMPARE(spy.cmds[0].sub, 40);
        QCOMPARE(spy.cmds[0].rw, 2);
        QCOMPARE(spy.cmds[0].payload, QByteArray(1, '\x02') + field);
        QCOMPARE(spy.cmds[0].payload.size(), 13);
        QCOMPARE(spy.cmds[1].rw, 1);
        QCOMPARE(spy.cmds[1].sub, 0);
        QCOMPARE(spy.cmds[1].payload, bytes({2}));
        QVERIFY(spy.events.contains("slot_changeCavasSceneName(" + name + ")"));
        // Hiding the editor on commit is no second commit.
        QCOMPARE(spy.cmdsNamed(QString::fromUtf8("场景操作")).size(), 2);
    }

    void renameOfASceneNotShownAsksFirst()
    {
        CProgramSpy spy;
        spy.nTaken = 1;
        CProgramListWidget strip;
        fill(strip, "SN1", {"A", "B"}, 1, 8);
        CCardProgramWidget *pCard = card(strip, 2);

        // Menu rename, answered with Cancel: nothing sent, no editor.
        spy.clear();
        BesMessageBox::setTestAnswer(QMessageBox::Cancel);
        QVERIFY(chooseEntry(pCard, QString::fromUtf8("重命名场景")));
        QVERIFY(spy.cmds.isEmpty());
        QVERIFY(!pCard->isEditingName());
        QCOMPARE(BesMessageBox::testRecords().last().title, QString::fromUtf8("场景未调用"));

        // Answered with OK: the scene is recalled, then the editor opens.
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        QVERIFY(chooseEntry(pCard, QString::fromUtf8("重命名场景")));
        QCOMPARE(spy.cmds.size(), 1);
        QCOMPARE(spy.cmds[0].sub, 20);
        QCOMPARE(spy.cmds[0].payload, bytes({2}));
        QVERIFY(spy.events.contains("slot_setTakeScene(2)"));
        QCOMPARE(strip.takeScene(), 2);
        QVERIFY(pCard->isEditingName());

        // The canvas still shows scene 1: Return asks again and keeps the edit open.
        spy.clear();
        pCard->nameEditor()->setText("New");
        QTest::keyClick(pCard->nameEditor(), Qt::Key_Enter);
        QVERIFY(pCard->isEditingName());
        QCOMPARE(pCard->nameLabel()->text(), QString("B"));
        QCOMPARE(spy.cmds.size(), 1);
        QCOMPARE(spy.cmds[0].sub, 20);
        // Once the scene is shown, the next Return commits.
        spy.nTaken = 2;
        QTest::keyClick(pCard->nameEditor(), Qt::Key_Return);
        QVERIFY(!pCard->isEditingName());
        QCOMPARE(spy.cmds.at(spy.cmds.size() - 2).sub, 40);
    }

    // The device's list read again, after card 2 was deleted, while the rename's recall question
    // on card 3 is open: the card keeps its number among scenes of the same name (the delete
    // refused) or takes the next lower (taken), and the confirmed recall goes to that number; a
    // card whose scene is gone is said not recalled, and nothing is sent.
    void questionOpenWhileTheListIsReadAgain_data()
    {
        QTest::addColumn<QStringList>("read"); // scenes 1.. by name
        QTest::addColumn<int>("recalled");     // 0: the card went
        QTest::addColumn<QString>("open");     // what is open when the list comes: the question, the save-to dialog, the menu
        QTest::newRow("a delete refused, names alike") << QStringList{"U", "U", "U"} << 3 << "question";
        QTest::newRow("the delete taken") << QStringList{"U", "U"} << 2 << "question";
        QTest::newRow("its scene gone") << QStringList{"U", "X"} << 0 << "question";
        QTest::newRow("save-to open, its scene gone") << QStringList{"U", "X"} << 0 << "dialog";
        QTest::newRow("menu open, its scene gone") << QStringList{"U", "X"} << 0 << "menu";
        // The card goes with its name editor open: what was typed is not sent to the scene that
        // took the card's number, and is said not made.
        QTest::newRow("name editor open, its scene gone") << QStringList{"U", "X"} << 0 << "editor";
    }
    void questionOpenWhileTheListIsReadAgain()
    {
        QFETCH(QStringList, read);
        QFETCH(int, recalled);
        QFETCH(QString, open);
        CProgramSpy spy;
        CProgramListWidget strip;
        strip.setDeviceFamily("Tarn");
        fill(strip, "SN1", {"U", "U", "U"}, 1, 8);
        QVERIFY(chooseEntry(card(strip, 2), QString::fromUtf8("删除场景")));
        spy.clear();
        QVector<QPair<int, QString>> listRead;
        for (int i = 0; i < read.size(); ++i)
            listRead.append({i + 1, read.at(i)});
        QPointer<CCardProgramWidget> pCard = card(strip, 3);
        const auto readAgain = [&]() {
            strip.followScenes(listRead);
            processDeferredDeletes();
        };
        BesMessageBox::setTestAnswerHook([&](const BesMessageRecord &r) {
            if (r.kind == "question")
                readAgain();
            return int(QMessageBox::Ok);
        });
        if (open == "question") {
            QVERIFY(chooseEntry(pCard, QString::fromUtf8("重命名场景")));
        } else if (open == "editor") {
            strip.show();
            QVERIFY(QTest::qWaitForWindowActive(&strip));
            spy.nTaken = 3; // shown: no recall asked
            QVERIFY(chooseEntry(pCard, QString::fromUtf8("重命名场景")));
            QTRY_VERIFY(pCard->nameEditor()->hasFocus());
            pCard->nameEditor()->setText("N");
            readAgain();
        } else if (open == "dialog") {
            QTimer::singleShot(0, [&]() {
                QPointer<QWidget> pDlg = QApplication::activeModalWidget();
                readAgain();
                if (pDlg)
                    QTest::mouseClick(pDlg->findChild<QPushButton *>("pushButtonYOK"), Qt::LeftButton);
            });
            QVERIFY(chooseEntry(pCard, QString::fromUtf8("保存到场景")));
        } else {
            QTimer::singleShot(0, [&]() {
                QMenu *pMenu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                QVERIFY(pMenu);
                readAgain();
                pMenu->setActiveAction(pMenu->actions().at(1)); // 调用场景
                QTest::keyClick(pMenu, Qt::Key_Return);
            });
            emit pCard->customContextMenuRequested(QPoint(5, 5));
        }
        QCOMPARE(usedIds(strip).size(), read.size());
        QCOMPARE(spy.cmds.size(), recalled > 0 ? 1 : 0);
        if (recalled > 0)
            QCOMPARE(spy.cmds[0].payload, bytes({recalled}));
        QCOMPARE(TestUtil::said("notice", QString::fromUtf8("场景3已不存在"), QString::fromUtf8("场景未调用")),
                 recalled > 0 ? 0 : 1);
    }

    void saveToSendsOnlyATargetItOffered_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("5") << "5" << bytes({3, 5});
        QTest::newRow("proposal kept") << "" << bytes({3, 4});
        QTest::newRow("beyond the next free") << "6" << QByteArray();
        QTest::newRow("emptied") << "<clear>" << QByteArray();
    }
    void saveToSendsOnlyATargetItOffered()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, payload);
        CProgramSpy spy;
        CProgramListWidget strip;
        // Scenes 1, 2, 3, 4 with 5 the next free: the proposal is 5.
        fill(strip, "SN1", {"A", "B", "C", "D"}, 1, 8);
        if (typed.isEmpty())
            fill(strip, "SN1", {"A", "B", "C"}, 1, 8); // proposal 4
        spy.clear();
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        bool bSeen = false;
        QTimer::singleShot(0, [&]() {
            auto *pDlg = qobject_cast<CSceneSaveAsDlg *>(QApplication::activeModalWidget());
            if (!pDlg)
                return;
            bSeen = true;
            QCOMPARE(pDlg->windowTitle(), QString::fromUtf8("保存到场景"));
            auto *pEdit = pDlg->findChild<QLineEdit *>("lineEditIndex");
            if (typed == "<clear>" || (!typed.isEmpty())) {
                pEdit->selectAll();
                QTest::keyClick(pEdit, Qt::Key_Backspace);
            }
            if (!typed.isEmpty() && typed != "<clear>")
                QTest::keyClicks(pEdit, typed);
            QTest::mouseClick(pDlg->findChild<QPushButton *>("pushButtonYOK"), Qt::LeftButton);
            if (pDlg->isVisible())
                pDlg->reject();
        });
        QVERIFY(chooseEntry(card(strip, 3), QString::fromUtf8("保存到场景")));
        QVERIFY(bSeen);
        if (payload.isEmpty()) {
            QVERIFY(spy.cmds.isEmpty());
            QCOMPARE(BesMessageBox::testRecords().last().text, QString::fromUtf8("请输入有效值！"));
            return;
        }
        QCOMPARE(spy.cmds.size(), 2);
        QCOMPARE(spy.cmds[0].payload, payload);
        QCOMPARE(spy.cmds[0].sub, 10);
        QCOMPARE(spy.cmds[1].name, QString::fromUtf8("源及场景数"));
        QCOMPARE(spy.cmds[1].rw, 1);
    }

    // A card deleted leaves its number to the device: until the device's list is read again a
    // new scene takes the number after every scene the device may hold; a strip in step with
    // the device, the smallest free one.
    void addStoresTheNextFreeNumber_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("nMax");
        QTest::addColumn<int>("before"); // 0: nothing; 1: scene 1 deleted; 2: and the device's list read
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("nNewAddId");
        QTest::newRow("Tarn") << "Tarn" << 8 << 0
                              << QStringList{"slot_createCanvasScene(用户场景)", "02 04 / 2 10", "04 / 1 0"} << 5;
        QTest::newRow("Tarn at the maximum") << "Tarn" << 4 << 0
                                             << QStringList{"slot_createCanvasScene(用户场景)", "02 04 / 2 10", "04 / 1 0"}
                                             << 0;
        QTest::newRow("Z") << "Z" << 8 << 0 << QStringList{"00 04 / 2 10", "04 / 1 0"} << 5;
        QTest::newRow("Tarn, a delete pending") << "Tarn" << 8 << 1
                                                << QStringList{"slot_createCanvasScene(用户场景)", "02 04 / 2 10", "04 / 1 0"} << 5;
        QTest::newRow("Z, a delete pending") << "Z" << 8 << 1 << QStringList{"00 04 / 2 10", "04 / 1 0"} << 5;
        QTest::newRow("Z, the delete followed") << "Z" << 8 << 2 << QStringList{"00 03 / 2 10", "03 / 1 0"} << 4;
    }
    void addStoresTheNextFreeNumber()
    {
        QFETCH(QString, family);
        QFETCH(int, nMax);
        QFETCH(int, before);
        QFETCH(QStringList, expected);
        QFETCH(int, nNewAddId);
        g_strDevType = family;
        CProgramSpy spy;
        CProgramListWidget strip;
        strip.setDeviceFamily(family);
        fill(strip, "SN1", {"A", "B", "C"}, 2, nMax);
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        if (before >= 1)
            QVERIFY(chooseEntry(card(strip, 1), QString::fromUtf8("删除场景")));
        if (before == 2)
            follow(strip, "SN1", {"B", "C"}, 1, nMax);
        processDeferredDeletes();
        spy.clear();
        CCardProgramWidget *pAdd = addCard(strip);
        QVERIFY(pAdd);
        QTest::mouseClick(pAdd->addButton(), Qt::LeftButton);
        QStringList got;
        for (const QString &e : spy.events) {
            if (e.startsWith("slot_createCanvasScene"))
                got << e;
        }
        for (const CSpyCmd &c : spy.cmds)
            got << QString("%1 / %2 %3").arg(QString::fromLatin1(c.payload.toHex(' '))).arg(c.rw).arg(c.sub);
        QCOMPARE(got, expected);
        // The card now is the new scene, under the number it was stored as.
        const int nNew = before == 2 ? 3 : 4;
        QVERIFY(pAdd->checkCardIsUse());
        QCOMPARE(pAdd->getCardId(), nNew);
        QCOMPARE(pAdd->indexText(), QString::number(nNew));
        QCOMPARE(pAdd->nameLabel()->text(),
                 family == "Z" ? QString::fromUtf8("新增场景") : QString::fromUtf8("用户场景"));
        CCardProgramWidget *pNext = addCard(strip);
        QCOMPARE(pNext ? pNext->getCardId() : 0, nNewAddId);
        // Its later commands address that number.
        spy.clear();
        QVERIFY(chooseEntry(pAdd, QString::fromUtf8("调用场景")));
        QCOMPARE(spy.cmds[0].payload, bytes({nNew}));
    }

    // A full device's scene deleted: the device may still hold it, so the add-card comes back
    // with the device's list, for the number the scene left.
    void zDeleteBringsTheAddCardBackWithTheList()
    {
        g_strDevType = "Z";
        CProgramSpy spy;
        CProgramListWidget strip;
        strip.setDeviceFamily("Z");
        fill(strip, "SN1", {"A", "B", "C"}, 1, 3);
        QVERIFY(!addCard(strip));
        QVERIFY(chooseEntry(card(strip, 2), QString::fromUtf8("删除场景")));
        QCOMPARE(spy.cmds.size(), 1);
        QCOMPARE(spy.cmds[0].payload, bytes({2}));
        QCOMPARE(spy.cmds[0].sub, 30);
        QCOMPARE(usedIds(strip), QList<int>({1, 3}));
        QVERIFY(!addCard(strip));
        follow(strip, "SN1", {"A", "C"}, 1, 3);
        QCOMPARE(usedIds(strip), QList<int>({1, 2}));
        QVERIFY(addCard(strip));
        QCOMPARE(addCard(strip)->getCardId(), 3);
        int n = 0;
        strip.slot_getNewCardId(n);
        QCOMPARE(n, 3);
        QVERIFY(spy.eventsOf("slot_changeCanvasScene").isEmpty());
    }

    void tarnDeleteRefusesTheLastSceneOnly_data()
    {
        QTest::addColumn<int>("nScenes");
        QTest::addColumn<int>("nMax");
        QTest::addColumn<bool>("bRefused");
        QTest::newRow("one scene and the add-card") << 1 << 8 << true;
        QTest::newRow("two scenes at the maximum") << 2 << 2 << false;
        QTest::newRow("three scenes") << 3 << 8 << false;
    }
    void tarnDeleteRefusesTheLastSceneOnly()
    {
        QFETCH(int, nScenes);
        QFETCH(int, nMax);
        QFETCH(bool, bRefused);
        CProgramSpy spy;
        CProgramListWidget strip;
        strip.setDeviceFamily("Tarn");
        QStringList names;
        for (int i = 0; i < nScenes; ++i)
            names << QString("S%1").arg(i + 1);
        fill(strip, "SN1", names, 1, nMax);
        BesMessageBox::setTestAnswer(QMessageBox::Ok);
        spy.clear();
        QVERIFY(chooseEntry(card(strip, 1), QString::fromUtf8("删除场景")));
        if (bRefused) {
            QVERIFY(spy.cmds.isEmpty());
            QCOMPARE(BesMessageBox::testRecords().last().text, QString::fromUtf8("不能删除最后一个场景！"));
            QCOMPARE(usedIds(strip).size(), nScenes);
            return;
        }
        QCOMPARE(spy.cmds.size(), 1);
        QCOMPARE(spy.cmds[0].payload, bytes({1}));
        QCOMPARE(usedIds(strip).size(), nScenes - 1);
        // The canvas goes to the last stored scene left.
        QCOMPARE(spy.eventsOf("slot_changeCanvasScene").last(), QString("slot_changeCanvasScene(%1)").arg(nScenes));
        // A full device may still hold the scene until its list is read again.
        QCOMPARE(bool(addCard(strip)), nScenes < nMax);
    }

    void stripCollapsesOnlyWhileThePanelIsOpen()
    {
        CProgramListWidget strip;
        strip.resize(300, 400);
        g_nOpenCount = 2; // the source panel is folded
        strip.on_btnProgram_clicked();
        QVERIFY(strip.isOpen());
        QCOMPARE(g_nOpenCount, 2);
        g_nOpenCount = 1;
        strip.on_btnProgram_clicked();
        QVERIFY(!strip.isOpen());
        QCOMPARE(g_nOpenCount, 2);
        strip.on_btnProgram_clicked();
        QVERIFY(strip.isOpen());
        QCOMPARE(g_nOpenCount, 1);
    }

    void refreshReadsTheCounts()
    {
        CProgramSpy spy;
        CProgramListWidget strip;
        fill(strip, "SN7", {"A"}, 1, 8);
        spy.clear();
        strip.on_btnReflash_clicked();
        QCOMPARE(spy.cmds.size(), 1);
        QCOMPARE(spy.cmds[0].serial, QString("SN7"));
        QCOMPARE(spy.cmds[0].name, QString::fromUtf8("源及场景数"));
        QCOMPARE(spy.events.last(), QString("slot_IsZReflash(true, SN7)"));
    }

    // Two frames, two devices: each card asks its own strip for ids and layout updates.
    void twoStripsEachAnswerForTheirOwnDevice()
    {
        g_strDevType = "Z";
        CProgramSpy spy;
        CProgramListWidget stripA, stripB;
        fill(stripA, "SNA", {"A1", "A2", "A3"}, 1, 8);
        fill(stripB, "SNB", {"B1"}, 1, 8);
        spy.clear();
        QTest::mouseClick(addCard(stripA)->addButton(), Qt::LeftButton);
        QCOMPARE(spy.cmds.first().serial, QString("SNA"));
        QCOMPARE(spy.cmds.first().payload, bytes({0, 4}));
        QCOMPARE(usedIds(stripB), QList<int>({1}));
        QCOMPARE(stripB.cards().size(), 2);
        spy.clear();
        QTest::mouseClick(addCard(stripB)->addButton(), Qt::LeftButton);
        QCOMPARE(spy.cmds.first().serial, QString("SNB"));
        QCOMPARE(spy.cmds.first().payload, bytes({0, 2}));
        // A take on one device leaves the other strip alone.
        QTest::mouseDClick(card(stripB, 2), Qt::LeftButton);
        QCOMPARE(stripB.takeScene(), 2);
        QCOMPARE(stripA.takeScene(), 1);
        // The serial forms of the topics reach one strip.
        int n = 0;
        stripA.slot_getNewCardId(n, "SNB");
        QCOMPARE(n, 0);
        stripB.slot_getNewCardId(n, "SNB");
        QCOMPARE(n, 3);
    }

    // The plain topics carry no device: they reach the strip of the family being edited.
    void plainTopicsReachTheFamilyBeingEdited()
    {
        CProgramListWidget tarnStrip, zStrip;
        tarnStrip.setDeviceFamily("Tarn");
        zStrip.setDeviceFamily("Z");
        fill(tarnStrip, "SNT", {"A", "B", "C"}, 1, 8);
        fill(zStrip, "SNZ", {"A"}, 1, 8);
        globalObserver *pHub = globalObserver::getGlobalObserver();
        for (const QString &strFamily : {QString("Z"), QString("Tarn")}) {
            g_strDevType = strFamily;
            pHub->notify("slot_updateLayoutTakeStatus", Q_ARG(int, 2));
            int n = 0;
            pHub->notify("slot_getNewCardId", Q_ARG(int &, n));
            QCOMPARE(n, strFamily == "Z" ? 2 : 4);
        }
        QCOMPARE(zStrip.takeScene(), 2);
        QCOMPARE(tarnStrip.takeScene(), 2);
        g_strDevType = "Z";
        pHub->notify("slot_updateLayoutTakeStatus", Q_ARG(int, 3));
        QCOMPARE(tarnStrip.takeScene(), 2);
    }

    // The frame rebuilds the strip while the delete notice of card 2 runs (a reply came in, or
    // the strip was bound to another device): the freed card is not touched; scene 2 is deleted
    // through its new card when that still names the scene the operator chose on the same
    // device, and nothing is sent when number 2 names another scene now.
    void rebuildDuringADeleteNotice_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QStringList>("rebuilt");
        QTest::addColumn<QList<int>>("idsAfter");
        QTest::addColumn<bool>("bSent");
        QTest::newRow("same scenes") << "SN1" << QStringList{"A", "B", "C"} << QList<int>{1, 3} << true;
        QTest::newRow("scene 2 is another one") << "SN1" << QStringList{"A", "C"} << QList<int>{1, 2} << false;
        QTest::newRow("another device's scenes") << "SN2" << QStringList{"A", "B", "C"} << QList<int>{1, 2, 3} << false;
    }
    void rebuildDuringADeleteNotice()
    {
        QFETCH(QString, serial);
        QFETCH(QStringList, rebuilt);
        QFETCH(QList<int>, idsAfter);
        QFETCH(bool, bSent);
        CProgramSpy spy;
        CProgramListWidget strip;
        strip.setDeviceFamily("Tarn");
        fill(strip, "SN1", {"A", "B", "C"}, 1, 8);
        QPointer<CCardProgramWidget> pCard = card(strip, 2);
        // The notice is the first event loop the delete runs: a zero timer fires inside it.
        QTimer::singleShot(0, &strip, [&]() { fill(strip, serial, rebuilt, 1, 8); });
        spy.clear();
        QVERIFY(chooseEntry(pCard, QString::fromUtf8("删除场景")));
        processDeferredDeletes(); // the notice may have ended before its loop deleted the old card
        QVERIFY(!pCard);
        QCOMPARE(spy.cmds.size(), bSent ? 1 : 0);
        if (bSent)
            QCOMPARE(spy.cmds[0].payload, bytes({2}));
        QCOMPARE(usedIds(strip), idsAfter);
    }

    // The strip taken down while an add waits in its notice: nothing is stored. The device's list
    // read again meanwhile, its last scene gone (deleted by another client): the add-card stays,
    // and the click stores the device's first scene.
    void rebuildDuringAnAddNotice_data()
    {
        QTest::addColumn<bool>("bHoldsNone");
        QTest::newRow("strip emptied") << false;
        QTest::newRow("the device's last scene gone") << true;
    }
    void rebuildDuringAnAddNotice()
    {
        QFETCH(bool, bHoldsNone);
        CProgramSpy spy;
        CProgramListWidget strip;
        fill(strip, "SN1", {"A"}, 0, 8, 1);
        QPointer<CCardProgramWidget> pAdd = addCard(strip);
        QVERIFY(pAdd);
        QTimer::singleShot(0, &strip, [&]() {
            if (bHoldsNone) {
                strip.setSceneCount(0);
                strip.followScenes({});
            } else {
                strip.destroyProgram();
            }
        });
        spy.clear();
        QTest::mouseClick(pAdd->addButton(), Qt::LeftButton);
        processDeferredDeletes();
        QCOMPARE(!pAdd, !bHoldsNone);
        QCOMPARE(spy.cmds.size(), bHoldsNone ? 2 : 0);
        if (bHoldsNone)
            QCOMPARE(spy.cmds[0].payload, bytes({0, 1}));
    }

    void stripGoneDuringADeleteNotice()
    {
        CProgramSpy spy;
        auto *pStrip = new CProgramListWidget();
        pStrip->setDeviceFamily("Tarn");
        fill(*pStrip, "SN1", {"A", "B"}, 1, 8);
        QPointer<CCardProgramWidget> pCard = card(*pStrip, 2);
        QTimer::singleShot(0, [&]() { delete pStrip; pStrip = nullptr; });
        spy.clear();
        QVERIFY(chooseEntry(pCard, QString::fromUtf8("删除场景")));
        QVERIFY(spy.cmds.isEmpty());
        QVERIFY(!pCard);
    }

    // The operator's menu is open while the strip is rebuilt, then an entry is chosen: it does
    // nothing. And the delete entry of a running menu removes its own card safely.
    void menuOpenWhileTheCardGoes()
    {
        CProgramSpy spy;
        g_strDevType = "Z";
        CProgramListWidget strip;
        fill(strip, "SN1", {"A", "B", "C"}, 1, 8);
        strip.show();
        QPointer<CCardProgramWidget> pCard = card(strip, 2);
        QTimer::singleShot(20, [&]() {
            auto *pMenu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(pMenu);
            fill(strip, "SN1", {"A", "B", "C"}, 1, 8);
            processDeferredDeletes();
            QVERIFY(!pCard);
            pMenu->actions().last()->trigger();
            pMenu->close();
        });
        emit pCard->customContextMenuRequested(QPoint(5, 5));
        QVERIFY(spy.cmds.isEmpty());

        pCard = card(strip, 3);
        QTimer::singleShot(20, [&]() {
            auto *pMenu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(pMenu);
            pMenu->actions().last()->trigger();
            processDeferredDeletes();
            pMenu->close();
        });
        emit pCard->customContextMenuRequested(QPoint(5, 5));
        processDeferredDeletes();
        QVERIFY(!pCard);
        QCOMPARE(spy.cmds.size(), 1);
        QCOMPARE(spy.cmds[0].payload, bytes({3}));
        QCOMPARE(usedIds(strip), QList<int>({1, 2}));
    }

    // The card's menu and its entry's dialog close with the cursor off the card: the hover frame goes.
    void hoverFrameGoesAfterTheMenu()
    {
        CProgramListWidget strip;
        fill(strip, "SN1", {"A", "B", "C"}, 1, 8);
        strip.resize(600, 400);
        strip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&strip));
        QPointer<CCardProgramWidget> pCard = card(strip, 2);
        const QPoint ptCard = pCard->mapTo(&strip, pCard->rect().center());
        QTest::mouseMove(strip.windowHandle(), QPoint(1, 1));
        QTest::mouseMove(strip.windowHandle(), ptCard);
        QTRY_VERIFY(pCard->isHovered());
        QTimer::singleShot(0, &strip, [&]() {
            QWidget *pMenu = QApplication::activePopupWidget();
            QTimer::singleShot(0, &strip, [&]() {
                QCursor::setPos(strip.mapToGlobal(QPoint(1, 1)));
                QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
            });
            pMenu->actions().at(3)->trigger(); // 保存到场景
            QTest::keyClick(pMenu, Qt::Key_Escape);
        });
        QTest::mouseClick(strip.windowHandle(), Qt::RightButton, {}, ptCard);
        QVERIFY(pCard && !pCard->isHovered());
        // The recall question of a rename, left with the cursor elsewhere.
        QTest::mouseMove(strip.windowHandle(), QPoint(1, 1));
        QTest::mouseMove(strip.windowHandle(), ptCard);
        QTRY_VERIFY(pCard->isHovered());
        QCursor::setPos(strip.mapToGlobal(QPoint(1, 1)));
        BesMessageBox::setTestAnswer(QMessageBox::Cancel);
        QVERIFY(chooseEntry(pCard, QString::fromUtf8("重命名场景")));
        QVERIFY(pCard && !pCard->isHovered());
    }

    void languageSwitchRetranslates()
    {
        CProgramListWidget strip;
        fill(strip, "SN1", {"A"}, 1, 8);
        for (int n : {1, 2, 0})
            strip.slot_updatelanguage(n);
        QCOMPARE(strip.cards().size(), 2);
    }
};

VISTEL_TEST_MAIN(TestProgramList)
#include "tst_programlist.moc"
