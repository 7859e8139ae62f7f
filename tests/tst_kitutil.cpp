#include "TestMain.h"

#include <algorithm>

#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include "kitconfig.h"
#include "kitwidget.h"

static QString readAll(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(file.readAll());
}

static void writeFile(const QString &fileName, const QByteArray &content)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// A small HTTP server on 127.0.0.1: answers every request with the given
// reply, or never answers when it is empty.
class CLocalHttpServer : public QTcpServer
{
public:
    explicit CLocalHttpServer(const QByteArray &reply)
        : m_baReply(reply)
    {
        connect(this, &QTcpServer::newConnection, this, [this]() {
            while (QTcpSocket *pSocket = nextPendingConnection()) {
                pSocket->setParent(this);
                connect(pSocket, &QTcpSocket::readyRead, pSocket, [this, pSocket]() {
                    m_baRequest += pSocket->readAll();
                    if (!m_baReply.isEmpty() && m_baRequest.contains("\r\n\r\n")) {
                        pSocket->write(m_baReply);
                        pSocket->disconnectFromHost();
                    }
                });
            }
        });
        listen(QHostAddress::LocalHost, 0);
    }
    QString url() const { return QString("http://127.0.0.1:%1/ip").arg(serverPort()); }
    QByteArray m_baRequest;

private:
    QByteArray m_baReply;
};

static QByteArray httpReply(const char *status, const QByteArray &body)
{
    return QByteArray("HTTP/1.1 ") + status + "\r\nContent-Type: text/html; charset=utf-8\r\n"
           "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

class TestKitUtil : public QObject
{
    Q_OBJECT
private slots:
    void cleanupTestCase()
    {
        KitWidget::setCommandRunner(KitWidget::CommandRunner());
    }

    // ---- style sheets ----

    void styleSheetsCarryTheirColours_data()
    {
        QTest::addColumn<int>("style");
        for (int i = KitWidget::Style_Silvery; i <= KitWidget::Style_FlatWhite; ++i)
            QTest::newRow(qPrintable(KitWidget::styleSheetFile(KitWidget::Style(i)))) << i;
    }
    void styleSheetsCarryTheirColours()
    {
        QFETCH(int, style);
        const QString file = KitWidget::styleSheetFile(KitWidget::Style(style));
        const QString qss = readAll(file);
        QVERIFY2(!qss.isEmpty(), qPrintable(file));

        QString colours[8];
        KitWidget::getQssColor(qss, colours[0], colours[1], colours[2], colours[3], colours[4],
                               colours[5], colours[6], colours[7]);
        for (const QString &colour : colours) {
            QCOMPARE(colour.length(), 7);
            QVERIFY2(QColor::isValidColor(colour), qPrintable(colour));
        }
        // The panel colour sits at 20, the text colour at 49.
        QCOMPARE(qss.mid(20, 7), colours[1]);
        QCOMPARE(qss.mid(49, 7), colours[0]);

        KitWidget::setStyle(KitWidget::Style(style));
        QCOMPARE(qApp->styleSheet(), qss);
        QCOMPARE(qApp->palette().color(QPalette::Window), QColor(colours[1]));

        QString palette, text;
        KitWidget::setStyle(file, palette, text);
        QCOMPARE(palette, colours[1]);
        QCOMPARE(text, colours[0]);

        QString eight[8];
        KitWidget::setStyle(file, eight[0], eight[1], eight[2], eight[3], eight[4], eight[5],
                            eight[6], eight[7]);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(eight[i], colours[i]);
    }

    void styleFallbacks()
    {
        qApp->setStyleSheet(QString());
        KitWidget::setStyle(KitWidget::Style(99));
        QCOMPARE(qApp->styleSheet(), readAll(":/res/res/qss/blue.css"));

        // A sheet that cannot be opened changes nothing.
        QString palette = "keep", text = "keep";
        KitWidget::setStyle(":/res/res/qss/missing.css", palette, text);
        QCOMPARE(palette, QString("keep"));
        QCOMPARE(qApp->styleSheet(), readAll(":/res/res/qss/blue.css"));

        // A lone marker fills only its own colour.
        QString c[8] = {"a", "b", "c", "d", "e", "f", "g", "h"};
        KitWidget::getQssColor("x{} /*HighColor:#123456*/", c[0], c[1], c[2], c[3], c[4], c[5],
                               c[6], c[7]);
        QCOMPARE(c[7], QString("#123456"));
        QCOMPARE(c[0] + c[1] + c[2] + c[3] + c[4] + c[5] + c[6], QString("abcdefg"));
        qApp->setStyleSheet(QString());
    }

    // ---- validators ----

    void validators_data()
    {
        QTest::addColumn<QString>("fn");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("ip") << "ip" << "192.168.1.255" << true;
        QTest::newRow("ip leading zeros") << "ip" << "010.001.000.009" << true;
        QTest::newRow("ip part above 255") << "ip" << "192.168.1.256" << false;
        QTest::newRow("ip blank") << "ip" << " 10.0.0.1" << false;
        QTest::newRow("ip trailing blank") << "ip" << "10.0.0.1 " << false;
        QTest::newRow("ip three parts") << "ip" << "10.0.1" << false;
        QTest::newRow("mac") << "mac" << "00-1A-2B-3C-4D-5E" << true;
        QTest::newRow("mac lower case") << "mac" << "00-1a-2b-3c-4d-5e" << false;
        QTest::newRow("mac colons") << "mac" << "00:1A:2B:3C:4D:5E" << false;
        QTest::newRow("tel 13") << "tel" << "13812345678" << true;
        QTest::newRow("tel 18") << "tel" << "18012345678" << true;
        QTest::newRow("tel 12") << "tel" << "12812345678" << false;
        QTest::newRow("tel letters") << "tel" << "13abcdefghi" << false;
        QTest::newRow("tel short") << "tel" << "1381234567" << false;
        QTest::newRow("email") << "email" << "li.ming@example.com" << true;
        QTest::newRow("email cn") << "email" << "wang@mail.example.cn" << true;
        QTest::newRow("email reversed") << "email" << ".com@x" << false;
        QTest::newRow("email no at") << "email" << "example.com" << false;
        QTest::newRow("email no dot") << "email" << "a@b" << false;
        QTest::newRow("email two ats") << "email" << "a@b@c.com" << false;
        // "$" alone also matches before a final line feed.
        QTest::newRow("mac line feed") << "mac" << "00-1A-2B-3C-4D-5E\n" << false;
        QTest::newRow("tel line feed") << "tel" << "13812345678\n" << false;
        QTest::newRow("email line feed") << "email" << "li.ming@example.com\n" << false;
    }
    void validators()
    {
        QFETCH(QString, fn);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const bool got = fn == "ip"    ? KitWidget::isIP(text)
                         : fn == "mac" ? KitWidget::isMac(text)
                         : fn == "tel" ? KitWidget::isTel(text)
                                       : KitWidget::isEmail(text);
        QCOMPARE(got, valid);
    }

    // ---- files and folders ----

    void programAndFolders()
    {
        QCOMPARE(KitWidget::appName(), QString("tst_kitutil"));
        QCOMPARE(KitWidget::getFileNameWithExtension("/a/b/c.tar.gz"), QString("c.tar.gz"));

        QTemporaryDir tmp;
        const QString nested = tmp.path() + "/x/y/z";
        KitWidget::newDir(nested);
        QVERIFY(KitWidget::folderIsExist(nested));
        QVERIFY(!KitWidget::fileIsExist(nested + "/none"));

        // A bare name lands beside the program; two lines go to this year's file.
        const QString sub = "kitutil_runinfo";
        const QString dir = KitWidget::appPath() + "/" + sub;
        QDir(dir).removeRecursively();
        KitWidget::newDir(sub);
        QVERIFY(QDir(dir).exists());
        KitWidget::writeInfo("first", sub);
        KitWidget::writeInfo("second", sub);
        const QString log = readAll(QString("%1/tst_kitutil_runinfo_%2.txt")
                                        .arg(dir)
                                        .arg(QDate::currentDate().year()));
        const QStringList lines = log.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.count(), 2);
        QVERIFY(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\dfirst$")
                    .match(lines.at(0)).hasMatch());
        QVERIFY(lines.at(1).endsWith("second"));
        QDir(dir).removeRecursively();

        // No sub-folder, no file.
        KitWidget::writeInfo("lost", "kitutil_no_such_folder");
        QVERIFY(!QDir(KitWidget::appPath() + "/kitutil_no_such_folder").exists());
    }

    void copyKeepsTheCopyReadable()
    {
        QTemporaryDir tmp;
        const QString source = tmp.path() + "/source.txt";
        const QString target = tmp.path() + "/target.txt";
        writeFile(source, "data");
        QFile::setPermissions(source, QFileDevice::ReadOwner | QFileDevice::ReadGroup);

        QVERIFY(KitWidget::copyFile(source, target));
        const QFileDevice::Permissions perms = QFile::permissions(target);
        QVERIFY(perms & QFileDevice::ReadOwner);
        QVERIFY(perms & QFileDevice::WriteOwner);
        QCOMPARE(readAll(target), QString("data"));

        // An existing target is not overwritten.
        writeFile(source + "2", "other");
        QVERIFY(!KitWidget::copyFile(source + "2", target));
        QCOMPARE(readAll(target), QString("data"));
        QVERIFY(!KitWidget::copyFile(tmp.path() + "/missing", tmp.path() + "/t3"));
    }

    void deleteDirectoryEmptiesTheFolder()
    {
        QTemporaryDir tmp;
        const QString root = tmp.path() + "/root";
        QDir().mkpath(root + "/a/b/c");
        QDir().mkpath(root + "/d");
        writeFile(root + "/f1", "1");
        writeFile(root + "/a/f2", "2");
        writeFile(root + "/a/b/c/f3", "3");
        KitWidget::deleteDirectory(root);
        QVERIFY(QDir(root).exists());
        QCOMPARE(QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
        KitWidget::deleteDirectory(root + "/missing"); // nothing to do, no crash
    }

    void configFileCheck()
    {
        QTemporaryDir tmp;
        const QString old = QDir::currentPath();
        QDir::setCurrent(tmp.path());

        QVERIFY(!KitConfig::CheckConfig());
        QVERIFY(!QFile::exists("config.ini"));
        KitConfig::ReadConfig();
        QVERIFY(!QFile::exists("config.ini"));

        const struct
        {
            const char *content;
            bool ok;
        } cases[] = {
            {"[BaseConfig]\nA=1\nB=two\n", true},
            {"[BaseConfig]\r\nA=1\r\nB=2\r\n", true},
            {"[BaseConfig]\n=1\nC=a=b\n\n", true},
            {"[BaseConfig]\nA=\n", false},
            {"A=1\r\nB=\r\n", false},
        };
        for (const auto &c : cases) {
            writeFile("config.ini", c.content);
            QCOMPARE(KitConfig::CheckConfig(), c.ok);
            // A damaged file is left as it was.
            QCOMPARE(readAll("config.ini"), QString::fromLatin1(c.content));
        }
        QDir::setCurrent(old);
    }

    // ---- system ----

    void clockGoesThroughTheCommandRunner()
    {
        QString program;
        QStringList args;
        KitWidget::setCommandRunner([&](const QString &p, const QStringList &a) {
            program = p;
            args = a;
            return true;
        });
        KitWidget::setSystemDateTime("2024", "01", "02", "03", "04", "05");
        QCOMPARE(program, QString("date"));
        QCOMPARE(args, QStringList({"-s", "2024-01-02 03:04:05"}));
        KitWidget::setCommandRunner(KitWidget::CommandRunner());
    }

    void autostartEntry()
    {
        QTemporaryDir tmp;
        const QByteArray old = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", tmp.path().toUtf8());

        const QString file = KitWidget::autostartFile("Vistel");
        QCOMPARE(file, tmp.path() + "/autostart/Vistel.desktop");
        KitWidget::runWithSystem("Vistel", "/opt/my app/Vistel", true);
        const QString entry = readAll(file);
        QVERIFY(entry.startsWith("[Desktop Entry]\n"));
        QVERIFY(entry.contains("\nExec=\"/opt/my app/Vistel\"\n"));
        QVERIFY(entry.contains("\nName=Vistel\n"));

        // Switching it off removes the entry.
        KitWidget::runWithSystem("Vistel", "/opt/my app/Vistel", false);
        QVERIFY(!QFile::exists(file));

        if (old.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", old);
    }

    // ---- network probes (loopback only) ----

    void probes()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        QVERIFY(KitWidget::ipLive("127.0.0.1", server.serverPort(), 1000));
        const quint16 port = server.serverPort();
        server.close();
        QVERIFY(!KitWidget::ipLive("127.0.0.1", port, 1000));

        QTcpServer web;
        QVERIFY(web.listen(QHostAddress::LocalHost, 0));
        KitWidget::setWebProbe("127.0.0.1", web.serverPort());
        QVERIFY(KitWidget::isWebOk());
        web.close();
        QVERIFY(!KitWidget::isWebOk());

        QCOMPARE(KitWidget::urlToIP("127.0.0.1"), QString("127.0.0.1"));
        QCOMPARE(KitWidget::urlToIP(""), QString());
    }

    void localIpSkipsLoopback()
    {
        const QList<QHostAddress> all = QNetworkInterface::allAddresses();
        QList<QHostAddress> others;
        for (const QHostAddress &a : all)
            if (!a.isLoopback())
                others << a;
        const QString ip = KitWidget::getLocalIP();
        if (others.isEmpty()) {
            QCOMPARE(ip, all.isEmpty() ? QString() : QString("127.0.0.1"));
        } else {
            QVERIFY2(others.contains(QHostAddress(ip)), qPrintable(ip));
            const auto isV4 = [](const QHostAddress &a) {
                return a.protocol() == QAbstractSocket::IPv4Protocol;
            };
            QCOMPARE(isV4(QHostAddress(ip)), std::any_of(others.begin(), others.end(), isV4));
        }
    }

    void getHtmlReadsTheBody()
    {
        CLocalHttpServer ok(httpReply("200 OK", QString::fromUtf8("地址<br/>ip = 1.2.3.4").toUtf8()));
        QCOMPARE(KitWidget::getHtml(ok.url()), QString::fromUtf8("地址<br/>ip = 1.2.3.4"));
        QVERIFY(ok.m_baRequest.startsWith("GET /ip "));

        CLocalHttpServer missing(httpReply("404 Not Found", "gone"));
        QCOMPARE(KitWidget::getHtml(missing.url()), QString("gone"));
    }

    void getHtmlGivesUpOnASilentServer()
    {
        CLocalHttpServer silent{QByteArray()};
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(KitWidget::getHtml(silent.url(), 300), QString());
        QVERIFY(timer.elapsed() < 5000);
    }

    void getHtmlKeepsOneDeadlineForATricklingServer()
    {
        // The head and a first byte at once, then a byte every 150 ms: the whole body would take
        // 15 s, far past the deadline, and a wait renewed by every byte would read it all.
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        QByteArray sent;
        QTimer trickle;
        connect(&server, &QTcpServer::newConnection, this, [&]() {
            QTcpSocket *pSocket = server.nextPendingConnection();
            sent = "a";
            pSocket->write("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\na");
            connect(&trickle, &QTimer::timeout, pSocket, [&sent, pSocket]() {
                sent += char('a' + sent.size() % 26);
                pSocket->write(sent.right(1));
            });
            trickle.start(150);
        });
        QElapsedTimer timer;
        timer.start();
        const QString html =
            KitWidget::getHtml(QString("http://127.0.0.1:%1/").arg(server.serverPort()), 1000);
        const qint64 elapsed = timer.elapsed();
        QVERIFY2(elapsed >= 900, qPrintable(QString::number(elapsed)));
        QVERIFY2(!html.isEmpty() && html.size() < 100 && sent.startsWith(html.toLatin1()), qPrintable(html));
    }

    void netIpFromAnEchoPage_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("ip");
        QTest::newRow("fourth piece") << "a<br/>b<br/>c<br/>Your IP = 1.2.3.4\r\n<br/>e"
                                      << "1.2.3.4";
        QTest::newRow("empty pieces kept") << "<br/><br/><br/>ip=5.6.7.8" << "5.6.7.8";
        QTest::newRow("too few pieces") << "a<br/>b" << "";
        QTest::newRow("no equals sign") << "a<br/>b<br/>c<br/>d" << "";
        QTest::newRow("empty") << "" << "";
    }
    void netIpFromAnEchoPage()
    {
        QFETCH(QString, page);
        QFETCH(QString, ip);
        QCOMPARE(KitWidget::getNetIP(page), ip);
    }

    void sleepProcessesEvents()
    {
        bool fired = false;
        QTimer::singleShot(20, [&]() { fired = true; });
        QElapsedTimer timer;
        timer.start();
        KitWidget::sleep(120);
        QVERIFY(fired);
        QVERIFY(timer.elapsed() >= 120);
    }
};

VISTEL_TEST_MAIN(TestKitUtil)
#include "tst_kitutil.moc"
