// The language switch of the device list window and the configuration file.
#include "TestMain.h"

#include "BaseTableWidget.h"
#include "BesMessageBox.h"
#include "CardProgramWidget.h"
#include "DeviceControl.h"
#include "DeviceItem.h"
#include "EditSceneCanvas.h"
#include "EditSceneMain.h"
#include "FileListWidget.h"
#include "InputSetDlg.h"
#include "LayoutListWidget.h"
#include "OtherWidget.h"
#include "PlayWnd.h"
#include "ProgramListWidget.h"
#include "PropertyStack.h"
#include "QorGlobal.h"
#include "SceneSaveAsDlg.h"
#include "SwitchButton.h"
#include "TcpDeviceThread.h"
#include "TestUtil.h"
#include "WndPosWidget.h"
#include "globalObserver.h"
#include "mainwindow.h"
#include "zinferface.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QTranslator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolTip>
#include <QSet>
#include <QTabWidget>
#include <QTreeWidget>
#include <QUdpSocket>

#include <memory>
#include "SimTestUtil.h"

using SimTest::freeUdpPort;

namespace {

template<typename T>
T *child(QObject &parent, const char *pName)
{
    return parent.findChild<T *>(QString::fromLatin1(pName));
}

// Records the order of the language topics.
class LanguageSpy : public QObject
{
    Q_OBJECT
public:
    QStringList topics;
    QList<int> indexes;
    static QStringList names()
    {
        return {QStringLiteral("slot_updatelanguage"), QStringLiteral("slot_updateFileListlanguage"),
                QStringLiteral("slot_updatePropertyStacklanguage"),
                QStringLiteral("slot_updateEditSceneCanvaslanguage"),
                QStringLiteral("slot_updateZMiddleControllanguage")};
    }
    LanguageSpy()
    {
        for (const QString &strTopic : names())
            globalObserver::getGlobalObserver()->attach(strTopic, this, strTopic.toLatin1().constData());
    }
    ~LanguageSpy() override
    {
        for (const QString &strTopic : names())
            globalObserver::getGlobalObserver()->detach(strTopic, this);
    }
    void record(const char *pTopic, int nIndex)
    {
        topics.append(QString::fromLatin1(pTopic));
        indexes.append(nIndex);
    }

public slots:
    void slot_updatelanguage(int n) { record("slot_updatelanguage", n); }
    void slot_updateFileListlanguage(int n) { record("slot_updateFileListlanguage", n); }
    void slot_updatePropertyStacklanguage(int n) { record("slot_updatePropertyStacklanguage", n); }
    void slot_updateEditSceneCanvaslanguage(int n) { record("slot_updateEditSceneCanvaslanguage", n); }
    void slot_updateZMiddleControllanguage(int n) { record("slot_updateZMiddleControllanguage", n); }
};

QByteArray readIni()
{
    QFile file(QStringLiteral("Morvane.ini"));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// QSettings keeps a file it has read and reads it again only when its size or
// time changed; a file of the same size written in the same clock tick would be
// taken for the one before, so each file written here gets a time of its own.
void writeIni(const QByteArray &content)
{
    static int s_nWritten = 0;
    QFile file(QStringLiteral("Morvane.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.flush();
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(++s_nWritten * 10),
                             QFileDevice::FileModificationTime));
}

void switchLanguage(MainWindow &w, int nIndex)
{
    QVERIFY(QMetaObject::invokeMethod(&w, "on_comboBoxLanguage_activated", Q_ARG(int, nIndex)));
}

QStringList cjkTexts(MainWindow &w)
{
    static const QRegularExpression cjk(QStringLiteral("[\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    QStringList listTexts;
    auto check = [&](const QString &strText, const QString &strWhere) {
        if (strText.contains(cjk))
            listTexts << strWhere + QStringLiteral(": ") + strText;
    };
    check(w.windowTitle(), QStringLiteral("title"));
    for (QLabel *p : w.findChildren<QLabel *>())
        check(p->text(), p->objectName());
    for (QPushButton *p : w.findChildren<QPushButton *>()) {
        check(p->text(), p->objectName());
        check(p->toolTip(), p->objectName());
    }
    for (QComboBox *p : w.findChildren<QComboBox *>()) {
        if (p->objectName() == QLatin1String("comboBoxLanguage"))
            for (int i = 0; i < p->count(); ++i)
                check(p->itemText(i), p->objectName());
    }
    for (QTabWidget *p : w.findChildren<QTabWidget *>())
        for (int i = 0; i < p->count(); ++i)
            check(p->tabText(i), p->objectName());
    QTreeWidget *pTree = child<QTreeWidget>(w, "treeWidget");
    for (int i = 0; i < pTree->columnCount(); ++i)
        check(pTree->headerItem()->text(i), QStringLiteral("header"));
    check(w.rootItem()->text(0), QStringLiteral("root"));
    return listTexts;
}

// Every text of a frame, its panels and their pages, each with the name of its widget.
QStringList frameTexts(QWidget *pFrame)
{
    QStringList listTexts{pFrame->windowTitle()};
    for (QWidget *p : pFrame->findChildren<QWidget *>()) {
        const QString strName = p->objectName() + QLatin1Char('=');
        if (auto *pButton = qobject_cast<QAbstractButton *>(p))
            listTexts << strName + pButton->text();
        else if (auto *pLabel = qobject_cast<QLabel *>(p))
            listTexts << strName + pLabel->text();
        if (!p->toolTip().isEmpty())
            listTexts << strName + p->toolTip();
    }
    return listTexts;
}

// Every translation of a source text in the translation files of a language.
QSet<QString> translations(const QString &strSource, const QString &strLanguage = QStringLiteral("en"))
{
    QSet<QString> setTexts;
    const QDir dir(TestUtil::sourceDir() + QStringLiteral("/src/translations/") + strLanguage);
    const QRegularExpression message(QStringLiteral("<source>%1</source>\\s*<translation>([^<]*)</translation>")
                                         .arg(QRegularExpression::escape(strSource)));
    for (const QString &strFile : dir.entryList({QStringLiteral("*.ts")})) {
        QFile file(dir.filePath(strFile));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString strText = QString::fromUtf8(file.readAll());
        for (auto it = message.globalMatch(strText); it.hasNext();)
            setTexts.insert(it.next().captured(1));
    }
    return setTexts;
}

// How a widget's tooltip is drawn: the colour most of it has, and whether anything on it stands
// out from that colour (its text).
struct TipLook
{
    QRgb background = 0;
    bool bText = false;
};

TipLook tipLook(QWidget *pWidget)
{
    QToolTip::showText(pWidget->mapToGlobal(QPoint(1, 1)), pWidget->toolTip(), pWidget);
    QWidget *pTip = nullptr;
    for (QWidget *p : QApplication::topLevelWidgets())
        if (p->inherits("QTipLabel") && p->isVisible())
            pTip = p;
    TipLook look;
    if (!pTip)
        return look;
    const QImage image = pTip->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    delete pTip; // the next tip is made for its own widget, not reused
    QHash<QRgb, int> hashCount;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++hashCount[image.pixel(x, y)];
    int nMost = 0;
    for (auto it = hashCount.cbegin(); it != hashCount.cend(); ++it)
        if (it.value() > nMost) {
            nMost = it.value();
            look.background = it.key();
        }
    const int nBackground = qAlpha(look.background) * qGray(look.background) / 255;
    for (auto it = hashCount.cbegin(); it != hashCount.cend(); ++it)
        if (qAbs(qAlpha(it.key()) * qGray(it.key()) / 255 - nBackground) > 96)
            look.bText = true;
    return look;
}

// Whether a line edit shows all of its text: the cursor at the end stands as far from the cursor
// at the start as the text is wide (a field too narrow scrolls the start out of sight).
bool editShowsWhole(QLineEdit *pEdit)
{
    pEdit->setCursorPosition(pEdit->text().size());
    pEdit->grab(); // the edit scrolls to its cursor when it paints
    const int nEnd = pEdit->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
    pEdit->setCursorPosition(0);
    pEdit->grab();
    return nEnd - pEdit->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() >= pEdit->fontMetrics().horizontalAdvance(pEdit->text());
}

bool hasCjk(const QString &strText)
{
    return strText.contains(QRegularExpression(QStringLiteral("[\\x{4e00}-\\x{9fff}]")));
}

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void switchToEnglishWritesGb2312AndOrdersTopics();
    void storedLanguageIsReadAtStart();
    void englishTranslatesTheWholeWindowAndKeepsRows();
    void chineseWinsOverATranslatorLeftInEnglish();
    void captionQuery();
    void tarnFrameBuiltAfterASwitchTakesItsLanguage();
    void textsMadeInCodeFollowASwitch_data();
    void textsMadeInCodeFollowASwitch();
    void takeQuestionReadsOneWay();
    void oneTextPerWord_data();
    void oneTextPerWord();
    void textsPutTogetherInCodeReadInEnglish_data();
    void textsPutTogetherInCodeReadInEnglish();
    void everyTooltipReads_data();
    void everyTooltipReads();
    void namesShowWhole_data();
    void namesShowWhole();
    void aShownFrameFitsItsScreenAfterASwitch();
    void aShortTitleCoversTheLogo();
};

void TestLanguage::initTestCase()
{
    MainWindow::setDiscoveryPort(freeUdpPort(), QHostAddress::LocalHost);
    MainWindow::setSerialPortLister([]() { return QStringList(); });
}

void TestLanguage::init()
{
    QFile::remove(QStringLiteral("Morvane.ini"));
    QFile::remove(QStringLiteral("Tranlate_EN.qm"));
    QFile::remove(QStringLiteral("Tranlate_CN.qm"));
    g_strDevType = QStringLiteral("Tarn");
    g_strLanguage = QStringLiteral("Chinaese");
    for (QWidget *pBox : QApplication::topLevelWidgets()) // a notice left shown
        if (pBox->inherits("BesFramelessDialog"))
            pBox->close();
}

void TestLanguage::cleanup()
{
    QFile::remove(QStringLiteral("Morvane.ini"));
}

void TestLanguage::switchToEnglishWritesGb2312AndOrdersTopics()
{
    MainWindow w;
    // The first start stores the language applied: "中文" in GB2312.
    QVERIFY(readIni().contains(QByteArray("[Set]\nLanguage=") + QByteArray::fromHex("d6d0cec4")));
    LanguageSpy spy;
    switchLanguage(w, 1);
    QCOMPARE(w.language(), 1);
    QCOMPARE(g_strLanguage, QStringLiteral("English"));
    QCOMPARE(child<QComboBox>(w, "comboBoxLanguage")->currentIndex(), 1);
    const QStringList listAll = LanguageSpy::names();
    QCOMPARE(spy.topics, listAll);
    QCOMPARE(spy.indexes, (QList<int>{1, 1, 1, 1, 1}));

    const QByteArray ini = readIni();
    QVERIFY(ini.contains("[Set]"));
    // "英文" in GB2312: D3 A2 CE C4.
    QVERIFY2(ini.contains(QByteArray("Language=") + QByteArray::fromHex("d3a2cec4")), ini.constData());

    // Whichever family was used last, the panels of both frames are told.
    g_strDevType = QStringLiteral("Z");
    spy.topics.clear();
    switchLanguage(w, 0);
    QCOMPARE(spy.topics, listAll);
    QCOMPARE(g_strLanguage, QStringLiteral("Chinaese"));
    QVERIFY(readIni().contains(QByteArray("Language=") + QByteArray::fromHex("d6d0cec4")));
}

void TestLanguage::storedLanguageIsReadAtStart()
{
    writeIni(QByteArray("[Set]\nLanguage=") + QByteArray::fromHex("d3a2cec4") + "\n");
    {
        MainWindow w;
        QCOMPARE(w.language(), 1);
        QCOMPARE(g_strLanguage, QStringLiteral("English"));
        QCOMPARE(child<QComboBox>(w, "comboBoxLanguage")->currentIndex(), 1);
    }
    // Any text without "英文" means Chinese.
    writeIni(QByteArray("[Set]\nLanguage=English\n"));
    {
        MainWindow w;
        QCOMPARE(w.language(), 0);
        QCOMPARE(g_strLanguage, QStringLiteral("Chinaese"));
    }
}

void TestLanguage::englishTranslatesTheWholeWindowAndKeepsRows()
{
    const QString strQm = TestUtil::buildDir() + QStringLiteral("/Tranlate_EN.qm");
    QVERIFY2(QFile::exists(strQm), qPrintable(strQm));
    QVERIFY(QFile::copy(strQm, QStringLiteral("Tranlate_EN.qm")));
    QFile::copy(TestUtil::buildDir() + QStringLiteral("/Tranlate_CN.qm"), QStringLiteral("Tranlate_CN.qm"));

    MainWindow w;
    QCOMPARE(w.windowTitle(), QStringLiteral("Vistel-V1.1(20250108)"));
    w.slot_newDevice({QStringLiteral("127.0.0.2"), QString(), QStringLiteral("Tarn-3"), QStringLiteral("SN1")});
    w.slot_newDevice({QStringLiteral("127.0.0.3"), QString(), QStringLiteral("Z7"), QStringLiteral("SN2")});
    QCOMPARE(w.rootItem()->childCount(), 2);

    switchLanguage(w, 1);
    // The rows follow the language change event that the new translator posts.
    QTRY_VERIFY_WITH_TIMEOUT(cjkTexts(w).isEmpty(), 2000);
    const QStringList listLeft = cjkTexts(w);
    QVERIFY2(listLeft.isEmpty(), qPrintable(listLeft.join(QStringLiteral("; "))));
    QCOMPARE(child<QTreeWidget>(w, "treeWidget")->headerItem()->text(0), QStringLiteral("IP address"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Vistel-V1.1(20250108)"));

    // The rows stay, paired with their workers by serial and id.
    QCOMPARE(w.rootItem()->childCount(), 2);
    QCOMPARE(w.rowItems().size(), 2);
    QCOMPARE(w.deviceList().size(), 2);
    QCOMPARE(w.checkR4Exist(QStringLiteral("SN2"))->getDeviceId(), 1);
    w.slot_newDevice({QStringLiteral("127.0.0.3"), QString(), QStringLiteral("Z7"), QStringLiteral("SN2")});
    QCOMPARE(w.rootItem()->childCount(), 2);
    QCOMPARE(w.deviceList().size(), 2);
    QCOMPARE(w.rowItems().at(1)->text(0), QStringLiteral("127.0.0.3"));

    // Back to Chinese: the source texts again.
    switchLanguage(w, 0);
    QTRY_COMPARE_WITH_TIMEOUT(child<QTreeWidget>(w, "treeWidget")->headerItem()->text(0),
                              QStringLiteral("IP地址"), 2000);
    QCOMPARE(child<QTabWidget>(w, "CommunicatetabWidget")->tabText(0), QStringLiteral("网络通讯"));
    QTRY_COMPARE_WITH_TIMEOUT(w.checkR4Exist(QStringLiteral("SN1"))->findChild<QPushButton *>(QStringLiteral("btnEdit"))->text(),
             QStringLiteral("场景编辑"), 2000);
}

// Every panel keeps a translator of its own; after a switch back to Chinese the
// window's texts are Chinese whichever family is current.
void TestLanguage::chineseWinsOverATranslatorLeftInEnglish()
{
    QVERIFY(QFile::copy(TestUtil::buildDir() + QStringLiteral("/Tranlate_EN.qm"), QStringLiteral("Tranlate_EN.qm")));
    QVERIFY(QFile::copy(TestUtil::buildDir() + QStringLiteral("/Tranlate_CN.qm"), QStringLiteral("Tranlate_CN.qm")));
    MainWindow w;
    w.slot_newDevice({QStringLiteral("127.0.0.2"), QString(), QStringLiteral("Tarn-3"), QStringLiteral("SN1")});
    switchLanguage(w, 1);
    QTRY_VERIFY_WITH_TIMEOUT(cjkTexts(w).isEmpty(), 2000);

    g_strDevType = QStringLiteral("Z");
    switchLanguage(w, 0);
    CDeviceControl *pRow = w.checkR4Exist(QStringLiteral("SN1"));
    QTRY_COMPARE_WITH_TIMEOUT(pRow->findChild<QPushButton *>(QStringLiteral("btnEdit"))->text(),
                              QStringLiteral("场景编辑"), 2000);
    QCOMPARE(child<QTreeWidget>(w, "treeWidget")->headerItem()->text(0), QStringLiteral("IP地址"));
    QCOMPARE(w.rootItem()->text(0), QStringLiteral("网络设备"));
    QCOMPARE(child<QTabWidget>(w, "CommunicatetabWidget")->tabText(1), QStringLiteral("TypeC通讯"));
    QCOMPARE(child<QPushButton>(w, "SertalportBtn")->text(), QStringLiteral("串口连接"));
    QCOMPARE(child<QComboBox>(w, "comboBoxLanguage")->itemText(1), QStringLiteral("英文"));
    QCOMPARE(pRow->statusText(), QStringLiteral("离线"));
    QCOMPARE(pRow->switchButton()->toolTip(), QStringLiteral("设备连接"));
    QCOMPARE(pRow->switchButton()->textOff(), QStringLiteral("已断开"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Vistel-V1.1(20250108)"));
}

void TestLanguage::captionQuery()
{
    MainWindow w;
    auto ask = [](int nType) {
        QString strW = QStringLiteral("?");
        QString strH = QStringLiteral("?");
        globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_getEditSingleTextItemstrTextLanguage"),
                                                    Q_ARG(int, nType), Q_ARG(QString &, strW),
                                                    Q_ARG(QString &, strH));
        return strW + QLatin1Char('/') + strH;
    };
    QCOMPARE(ask(0), QStringLiteral("宽/高"));
    switchLanguage(w, 1);
    QCOMPARE(ask(0), QStringLiteral("Width/Height"));
    QCOMPARE(ask(1), QStringLiteral("宽/高"));
}

// The Tarn frame is built after the device list shows: one built after a switch
// reads as one that was there when the switch came, and follows the next switch
// as that one does.
void TestLanguage::tarnFrameBuiltAfterASwitchTakesItsLanguage()
{
    QVERIFY(QFile::copy(TestUtil::buildDir() + QStringLiteral("/Tranlate_EN.qm"), QStringLiteral("Tranlate_EN.qm")));
    QVERIFY(QFile::copy(TestUtil::buildDir() + QStringLiteral("/Tranlate_CN.qm"), QStringLiteral("Tranlate_CN.qm")));
    QStringList listThere, listThereBack, listStackThere, listStackBack;
    {
        MainWindow w;
        w.editSceneMain();
        for (QStringList *pList : {&listThere, &listThereBack}) {
            switchLanguage(w, pList == &listThere ? 1 : 0);
            QCoreApplication::processEvents();
            *pList = frameTexts(w.editSceneMain());
            (pList == &listThere ? listStackThere : listStackBack) = frameTexts(w.editSceneMain()->propertyStack());
        }
    }
    QVERIFY(listThere.contains(QStringLiteral("OutputSettingButton=Output settings")));
    QFile::remove(QStringLiteral("Morvane.ini"));
    g_strLanguage = QStringLiteral("Chinaese");

    // The frame built after the window is first shown makes its property stack when it is
    // first needed (here: shown), in the language in force then: it shows what the frame built
    // whole shows.
    {
        MainWindow shown;
        shown.show();
        QTRY_VERIFY_WITH_TIMEOUT(shown.hasEditSceneMain(), 5000);
        CEditSceneMain *pLazy = nullptr;
        for (QWidget *p : QApplication::topLevelWidgets())
            if (auto *pFrame = qobject_cast<CEditSceneMain *>(p))
                pLazy = pFrame;
        QVERIFY(pLazy && !pLazy->propertyStack());
        switchLanguage(shown, 1);
        QCoreApplication::processEvents();
        pLazy->show(); // what editSceneMain() does, showing the frame does too
        QVERIFY(pLazy->propertyStack());
        QCOMPARE(frameTexts(pLazy->propertyStack()), listStackThere);
        switchLanguage(shown, 0);
        QCoreApplication::processEvents();
        QCOMPARE(frameTexts(pLazy->propertyStack()), listStackBack);
        pLazy->hide();
    }
    QFile::remove(QStringLiteral("Morvane.ini"));
    g_strLanguage = QStringLiteral("Chinaese");

    MainWindow w;
    switchLanguage(w, 1);
    CEditSceneMain *pFrame = w.editSceneMain();
    QCoreApplication::processEvents();
    // Texts made once, when the frame is built, come in English where the frame that was
    // there keeps the Chinese it was built with; every other text is the same.
    const QStringList listBuilt = frameTexts(pFrame);
    QCOMPARE(listBuilt.size(), listThere.size());
    QSet<int> madeOnce;
    for (int i = 0; i < listBuilt.size(); ++i) {
        if (listBuilt.at(i) == listThere.at(i))
            continue;
        QVERIFY2(hasCjk(listThere.at(i)) && !hasCjk(listBuilt.at(i)), qPrintable(listBuilt.at(i)));
        madeOnce.insert(i);
    }

    switchLanguage(w, 0);
    QCoreApplication::processEvents();
    const QStringList listBack = frameTexts(pFrame);
    for (int i = 0; i < listBack.size(); ++i) {
        if (!madeOnce.contains(i))
            QCOMPARE(listBack.at(i), listThereBack.value(i));
    }
}

void TestLanguage::textsMadeInCodeFollowASwitch_data()
{
    QTest::addColumn<int>("nBuilt");
    QTest::addColumn<bool>("bMute");
    QTest::addColumn<QStringList>("listThen");

    const QStringList listCn{QStringLiteral("静音"), QStringLiteral("添加场景"), QStringLiteral("添加场景"),
                             QStringLiteral("  版本号：V1.0.Vistel-V1.1(20240604)  "), QStringLiteral("已调用"),
                             QStringLiteral("版本号：V1.0.Vistel-V1.1(20250108)  "), QStringLiteral("设备 127.0.0.9 (SNL) 未连接，修改未生效。")};
    const QStringList listEn{QStringLiteral("Mute"), QStringLiteral("Add scene"), QStringLiteral("Add scene"),
                             QStringLiteral("  Version number：V1.0.Vistel-V1.1(20240604)  "), QStringLiteral("Taken"),
                             QStringLiteral("Version number：V1.0.Vistel-V1.1(20250108)  "),
                             QStringLiteral("Device 127.0.0.9 (SNL) is not connected; the change was not made.")};
    QStringList listCnMuted = listCn, listEnMuted = listEn;
    listCnMuted[0] = QStringLiteral("取消静音");
    listEnMuted[0] = QStringLiteral("Unmute");
    QTest::newRow("built in Chinese, then English") << 0 << false << listEn;
    QTest::newRow("built in English, then Chinese") << 1 << false << listCn;
    QTest::newRow("built in Chinese muted, then English") << 0 << true << listEnMuted;
    QTest::newRow("built in English muted, then Chinese") << 1 << true << listCnMuted;
}

// The mute tip, the add tips of the scene list and its cards, a card's taken mark, the
// frames' version lines and a notice shown are set in code: frames built in one language read in the
// other after a switch, the notice too, and the mute tip still says what a click does.
void TestLanguage::textsMadeInCodeFollowASwitch()
{
    QFETCH(int, nBuilt);
    QFETCH(bool, bMute);
    QFETCH(QStringList, listThen);
    QVERIFY(QFile::copy(TestUtil::buildDir() + QStringLiteral("/Tranlate_EN.qm"), QStringLiteral("Tranlate_EN.qm")));
    QVERIFY(QFile::copy(TestUtil::buildDir() + QStringLiteral("/Tranlate_CN.qm"), QStringLiteral("Tranlate_CN.qm")));

    MainWindow w;
    switchLanguage(w, nBuilt);
    QCoreApplication::processEvents();
    CEditSceneMain *pFrame = w.editSceneMain();
    Zinferface z;
    CProgramListWidget *pStrip = pFrame->programListWidget();
    pStrip->addUsedCardItem(1, QStringLiteral("A"), QStringLiteral("SN1"), 1, 8);
    QCOMPARE(pStrip->cards().size(), 1);
    QPushButton *pMute = pFrame->canvas()->volumeButton();
    if (bMute)
        QTest::mouseClick(pMute, Qt::LeftButton);
    QCOMPARE(pFrame->canvas()->isVolumeOn(), !bMute);
    w.slot_newDevice({QStringLiteral("127.0.0.9"), QString(), QStringLiteral("Tarn-3"), QStringLiteral("SNL")});
    CTcpDeviceThread *pOff = w.getCurrentDevice(QStringLiteral("SNL"));
    pOff->setCanConnected(false);
    pOff->setMcuCommand(QStringLiteral("系统设置"), QByteArray(12, 'a'), 2, 10);
    QTRY_VERIFY(!BesMessageBox::noticeText().isEmpty()); // switched off: not made

    switchLanguage(w, 1 - nBuilt);
    QCoreApplication::processEvents();
    const QStringList listNow{pMute->toolTip(), pStrip->findChild<QPushButton *>(QStringLiteral("btnAdd"))->toolTip(),
                              pStrip->cards().first()->addButton()->toolTip(), z.versionLabel()->text(),
                              pStrip->cards().first()->takeText(), pFrame->versionLabel()->text(),
                              BesMessageBox::noticeText()};
    QCOMPARE(listNow, listThen);
}

// The take question and its title read one way in English wherever they are asked, in the
// words the rest of the interface uses for taking a scene ("Take scene", a card "Taken").
void TestLanguage::takeQuestionReadsOneWay()
{
    QTranslator english;
    QVERIFY(english.load(TestUtil::buildDir() + QStringLiteral("/Tranlate_EN.qm")));
    const QString strTitle = QStringLiteral("Scene not taken");
    const QString strQuestion = QStringLiteral("This scene is not taken. Take it now?");
    QCOMPARE(english.translate("CCardProgramWidget", "调用场景"), QStringLiteral("Take scene"));
    for (const char *pszContext : {"CEditSceneCanvas", "CEditBaseScene", "CCardProgramWidget", "CBackCanvasWidget",
                                   "CWndPosWidget"}) {
        QCOMPARE(english.translate(pszContext, "场景未调用"), strTitle);
        QCOMPARE(english.translate(pszContext, "该场景未调用，是否立即调用？"), strQuestion);
    }
    QCOMPARE(translations(QStringLiteral("场景未调用")), QSet<QString>{strTitle});
    QCOMPARE(translations(QStringLiteral("该场景未调用，是否立即调用？")), QSet<QString>{strQuestion});
}

void TestLanguage::oneTextPerWord_data()
{
    QTest::addColumn<QString>("strSource");
    QTest::addColumn<QString>("strEnglish");
    QTest::newRow("a notice's title") << QStringLiteral("提示") << QStringLiteral("Notice");
    QTest::newRow("transparency") << QStringLiteral("透明度：") << QStringLiteral("Transparency:");
    QTest::newRow("a layer up") << QStringLiteral("上移一层") << QStringLiteral("Move up one layer");
    QTest::newRow("a layer down") << QStringLiteral("下移一层") << QStringLiteral("Move down one layer");
    QTest::newRow("the device name") << QStringLiteral("设备名称") << QStringLiteral("Device name");
    QTest::newRow("input sources") << QStringLiteral("输入源") << QStringLiteral("Input sources");
    QTest::newRow("a new scene is a scene") << QStringLiteral("用户场景") << QStringLiteral("User scene");
}

// A Chinese text reads one way in English, whichever panel says it; the Chinese files keep it.
void TestLanguage::oneTextPerWord()
{
    QFETCH(QString, strSource);
    QFETCH(QString, strEnglish);
    QCOMPARE(translations(strSource), QSet<QString>{strEnglish});
    QCOMPARE(translations(strSource, QStringLiteral("cn")), QSet<QString>{strSource});
}

void TestLanguage::textsPutTogetherInCodeReadInEnglish_data()
{
    QTest::addColumn<QString>("strKind");
    QTest::addColumn<QStringList>("listSaid");
    QTest::newRow("a save-to number out of range") << QStringLiteral("range")
                                                   << QStringList{QStringLiteral("Save failed"),
                                                                  QStringLiteral("Please enter a valid number!")};
    QTest::newRow("a save-to scene gone") << QStringLiteral("gone")
                                          << QStringList{QStringLiteral("Save failed"),
                                                         QStringLiteral("Scene 3 no longer exists, please enter another number!")};
    QTest::newRow("an input without signal dragged") << QStringLiteral("caption")
                                                     << QStringList{QStringLiteral("IN1 : No input")};
    QTest::newRow("a Z input row's menu made in Chinese") << QStringLiteral("zmenu")
                                                          << QStringList{QStringLiteral("Modify resolution"),
                                                                         QStringLiteral("Update resolution")};
    QTest::newRow("the play window's menu") << QStringLiteral("play menu")
                                            << QStringList{QStringLiteral("Unlock"), QStringLiteral("Restore position"),
                                                           QStringLiteral("Always on top")};
}

// Texts put together in code read in the language in force: the Z save-to dialog's refusals, the
// caption a dragged input without signal gives its layer, the menu of a Z input row made before a
// switch, and the play window's menu.
void TestLanguage::textsPutTogetherInCodeReadInEnglish()
{
    QFETCH(QString, strKind);
    QFETCH(QStringList, listSaid);
    QVERIFY(QFile::copy(TestUtil::buildDir() + QStringLiteral("/Tranlate_EN.qm"), QStringLiteral("Tranlate_EN.qm")));
    QStringList listNow;
    InputSource input;
    input.strName = QStringLiteral("IN1");
    input.strType = QStringLiteral("HDMI");
    if (strKind == QLatin1String("zmenu")) {
        DeviceInfo device;
        device.strSerial = QStringLiteral("SNZ");
        device.vectorInput.append(&input);
        CFileListWidget panel;
        panel.setDeviceFamily(QStringLiteral("Z"));
        panel.addDeviceToList(&device, QStringLiteral("SNZ"));
        QVERIFY(panel.layoutList()->itemAt(0));
        int nLanguage = 1;
        globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_updateFileListlanguage"), Q_ARG(int, nLanguage));
        for (QAction *pEntry : panel.layoutList()->itemAt(0)->menu()->actions())
            listNow << pEntry->text();
    } else {
        QTranslator english;
        QVERIFY(english.load(QStringLiteral("Tranlate_EN.qm")));
        QCoreApplication::installTranslator(&english);
        if (strKind == QLatin1String("caption")) {
            CDeviceItem row;
            row.setDeviceInput(&input);
            listNow << row.dragCaption();
        } else if (strKind == QLatin1String("play menu")) {
            CPlayWnd wnd(QRect(0, 0, 640, 480));
            const std::unique_ptr<QMenu> pMenu(wnd.createMenu());
            for (QAction *pEntry : pMenu->actions())
                listNow << pEntry->text();
        } else {
            BesMessageBox::setTestAnswer(QMessageBox::Ok);
            BesMessageBox::clearTestRecords();
            CSceneSaveAsDlg dlg(QStringLiteral("Z"));
            dlg.setStrSerial(QStringLiteral("SNZ"));
            dlg.setZsencedate(4, 2); // scenes 1 to 4 counted, none of them listed
            dlg.show();
            dlg.findChild<QLineEdit *>(QStringLiteral("lineEditIndex"))
                ->setText(strKind == QLatin1String("range") ? QStringLiteral("0") : QStringLiteral("3"));
            QTest::mouseClick(dlg.findChild<QPushButton *>(QStringLiteral("pushButtonOk")), Qt::LeftButton);
            QVERIFY(!BesMessageBox::testRecords().isEmpty());
            listNow << BesMessageBox::testRecords().last().title << BesMessageBox::testRecords().last().text;
            BesMessageBox::clearTestAnswer();
        }
    }
    QCOMPARE(listNow, listSaid);
}

void TestLanguage::everyTooltipReads_data()
{
    QTest::addColumn<bool>("bZ");
    QTest::newRow("Tarn frame") << false;
    QTest::newRow("Z frame") << true;
}

// Every tooltip of a frame, its panels and the canvas's floating tools has the look of a tooltip
// of a widget without a sheet of its own: opaque, its text standing out.
void TestLanguage::everyTooltipReads()
{
    QFETCH(bool, bZ);
    TestUtil::CProgramStyle style;
    QPushButton plain;
    plain.setToolTip(QStringLiteral("tip"));
    plain.show();
    const TipLook reference = tipLook(&plain);
    QCOMPARE(qAlpha(reference.background), 255);
    QVERIFY(reference.bText);

    MainWindow w;
    std::unique_ptr<Zinferface> pZ;
    QWidget *pFrame = nullptr;
    if (bZ) {
        pZ.reset(new Zinferface);
        pFrame = pZ.get();
    } else {
        pFrame = w.editSceneMain();
    }
    pFrame->show();
    QVERIFY(QTest::qWaitForWindowExposed(pFrame));
    QStringList listUnread;
    int nTips = 0;
    for (QWidget *p : pFrame->findChildren<QWidget *>()) {
        if (p->toolTip().isEmpty())
            continue;
        ++nTips;
        const TipLook look = tipLook(p);
        if (look.background != reference.background || !look.bText)
            listUnread << p->objectName() + QLatin1Char('=') + p->toolTip();
    }
    QVERIFY(nTips > 0);
    QVERIFY2(listUnread.isEmpty(), qPrintable(listUnread.join(QStringLiteral("; "))));
}

void TestLanguage::namesShowWhole_data()
{
    QTest::addColumn<QString>("strWhere");
    QTest::newRow("the Z device page's name field") << QStringLiteral("z page");
    QTest::newRow("the input dialog's name field") << QStringLiteral("input dialog");
    QTest::newRow("a source row") << QStringLiteral("row");
    QTest::newRow("the layer page's source box") << QStringLiteral("source box");
    QTest::newRow("a source row beside the list's scroll bar") << QStringLiteral("list");
}

// A name of the device's 12 bytes, of the widest letters, shows whole wherever the operator reads
// or edits it, in English (whose labels leave the fields the least room) under the program's sheet.
void TestLanguage::namesShowWhole()
{
    QFETCH(QString, strWhere);
    TestUtil::CProgramStyle style;
    QTranslator english;
    QVERIFY(english.load(TestUtil::buildDir() + QStringLiteral("/Tranlate_EN.qm")));
    QCoreApplication::installTranslator(&english);
    const QString strName = QStringLiteral("WWWWMMMMWWWW");
    QVector<InputSource> listInputs(6);
    QVector<InputSource *> vecInputs;
    for (int i = 0; i < listInputs.size(); ++i) {
        listInputs[i].nId = i;
        listInputs[i].strName = i == 0 ? strName : QStringLiteral("IN%1").arg(i + 1);
        listInputs[i].strType = QStringLiteral("HDMI");
        listInputs[i].nSig = 1;
        listInputs[i].nWidth = 1920;
        listInputs[i].nHeight = 1080;
        listInputs[i].nHz = 60;
        vecInputs.append(&listInputs[i]);
    }
    if (strWhere == QLatin1String("z page")) {
        COtherWidget page;
        page.show();
        auto *pEdit = page.findChild<QLineEdit *>(QStringLiteral("lineEditstrSerial"));
        pEdit->setText(strName);
        QVERIFY(editShowsWhole(pEdit));
    } else if (strWhere == QLatin1String("input dialog")) {
        CInputSetDlg dlg;
        dlg.setInputData(vecInputs.first());
        dlg.setShowType(1);
        dlg.show();
        QVERIFY(editShowsWhole(dlg.findChild<QLineEdit *>(QStringLiteral("lineEditName"))));
    } else if (strWhere == QLatin1String("row")) {
        CDeviceItem row;
        row.setDeviceInput(vecInputs.first());
        row.show();
        auto *pLabel = row.findChild<QLabel *>(QStringLiteral("labelName"));
        QVERIFY(pLabel->contentsRect().width() >= pLabel->fontMetrics().horizontalAdvance(strName));
    } else if (strWhere == QLatin1String("source box")) {
        CWndPosWidget page;
        page.setInputSource(vecInputs);
        page.show();
        auto *pBox = page.findChild<QComboBox *>(QStringLiteral("cmbMainSig"));
        QCOMPARE(pBox->currentText(), strName);
        QStyleOptionComboBox option;
        option.initFrom(pBox);
        const QRect rtText = pBox->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, pBox);
        QVERIFY(rtText.width() >= pBox->fontMetrics().horizontalAdvance(strName));
    } else {
        DeviceInfo device;
        device.strSerial = QStringLiteral("SN1");
        device.vectorInput = vecInputs;
        CFileListWidget panel;
        panel.setDeviceFamily(QStringLiteral("Tarn"));
        panel.addDeviceToList(&device, QStringLiteral("SN1"));
        panel.resize(panel.minimumSizeHint().width(), 400); // the narrowest a frame's splitter leaves it
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QScrollBar *pBar = panel.layoutList()->table()->verticalScrollBar();
        QTRY_VERIFY(pBar->isVisible());
        auto *pLabel = panel.layoutList()->itemAt(0)->findChild<QLabel *>(QStringLiteral("labelName"));
        const int nRight = pLabel->mapTo(panel.layoutList()->table(), QPoint(pLabel->width(), 0)).x();
        QVERIFY2(nRight <= pBar->x(), qPrintable(QStringLiteral("%1 > %2").arg(nRight).arg(pBar->x())));
    }
}

// A frame placed on a laptop's screen in Chinese, its device's page shown, still fits the screen
// once its texts are English.
void TestLanguage::aShownFrameFitsItsScreenAfterASwitch()
{
    QVERIFY(QFile::copy(TestUtil::buildDir() + QStringLiteral("/Tranlate_EN.qm"), QStringLiteral("Tranlate_EN.qm")));
    QVERIFY(QFile::copy(TestUtil::buildDir() + QStringLiteral("/Tranlate_CN.qm"), QStringLiteral("Tranlate_CN.qm")));
    TestUtil::CProgramStyle style;
    const QRect rtScreen(0, 0, 1366, 768);
    CEditFrameBase::setScreenAreaOverride(rtScreen);
    {
        MainWindow w;
        Zinferface z;
        InputSource input;
        input.strName = QStringLiteral("IN1");
        DeviceInfo device;
        device.strSerial = QStringLiteral("SNZ");
        device.strDevName = QStringLiteral("Z7");
        device.vectorInput.append(&input);
        z.initSceneData(&device, {});
        z.show();
        QVERIFY(QTest::qWaitForWindowExposed(&z));
        QVERIFY(rtScreen.contains(z.geometry()));
        switchLanguage(w, 1);
        QVERIFY(frameTexts(&z).join(QLatin1Char('\n')).contains(QStringLiteral("Device name:")));
        // What was posted is handled in its order (the change of language, then the layouts).
        for (int i = 0; i < 10; ++i)
            QCoreApplication::sendPostedEvents();
        QVERIFY2(z.minimumSizeHint().width() <= rtScreen.width() && rtScreen.contains(z.geometry()),
                     qPrintable(QStringLiteral("%1 x %2, at least %3").arg(z.geometry().width()).arg(z.geometry().height())
                                    .arg(z.minimumSizeHint().width())));
    }
    CEditFrameBase::setScreenAreaOverride(QRect(0, 0, 1920, 1080));
}

// A message box's title, however short, covers the logo that lies under it.
void TestLanguage::aShortTitleCoversTheLogo()
{
    TestUtil::CProgramStyle style;
    BesMessageBox box;
    auto *pTitle = box.findChild<QLabel *>(QStringLiteral("labelMessageTitle"));
    const auto *pLogo = box.findChild<QLabel *>(QStringLiteral("labelLogoTitle"));
    pTitle->setText(QStringLiteral("Tip"));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QRect rtLogo(pLogo->pos(), pLogo->pixmap(Qt::ReturnByValue).size());
    QVERIFY2(pTitle->geometry().contains(rtLogo), qPrintable(QStringLiteral("%1").arg(pTitle->width())));
}

VISTEL_TEST_MAIN(TestLanguage)
#include "tst_language.moc"
