// KitWidget: static utilities (screen, files, styles, system, validators,
// network probes and the message and input boxes).
#include "kitwidget.h"

#include <QApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkInterface>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPalette>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTextCodec>
#include <QTextStream>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include "kitinputbox.h"
#include "kitmessagebox.h"

namespace {
QRect availableDesk()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

bool runCommand(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForStarted())
        return false;
    process.closeWriteChannel();
    if (!process.waitForFinished(1000)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

KitWidget::CommandRunner g_commandRunner;
QString g_webHost = QStringLiteral("1.1.1.1");
int g_webPort = 80;

// Quotes an argument of a desktop entry's Exec key.
QString quoteExecArg(QString arg)
{
    arg.replace("\\", "\\\\\\\\");
    arg.replace("\"", "\\\\\"");
    arg.replace("`", "\\\\`");
    arg.replace("$", "\\\\$");
    return "\"" + arg + "\"";
}
} // namespace

// ---- screen and program ----

int KitWidget::deskWidth()
{
    return availableDesk().width();
}

int KitWidget::deskHeight()
{
    return availableDesk().height();
}

QString KitWidget::appName()
{
    QString name = QCoreApplication::applicationFilePath();
    name = name.mid(name.lastIndexOf('/') + 1);
    return name.section('.', 0, 0);
}

QString KitWidget::appPath()
{
    return QCoreApplication::applicationDirPath();
}

void KitWidget::setFormInCenter(QWidget *frm)
{
    frm->move(deskWidth() / 2 - frm->width() / 2, deskHeight() / 2 - frm->height() / 2);
}

// ---- folders and files ----

void KitWidget::newDir(const QString &dirName)
{
    QString strDir = dirName;
    if (!strDir.startsWith("/") && !strDir.contains(":/"))
        strDir = QString("%1/%2").arg(appPath(), strDir);
    QDir dir(strDir);
    if (!dir.exists())
        dir.mkpath(strDir);
}

void KitWidget::writeInfo(const QString &info, const QString &filePath)
{
    const QString fileName = QString("%1/%2/%3_runinfo_%4.txt")
                                 .arg(appPath(), filePath, appName())
                                 .arg(QDate::currentDate().year());
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    QTextStream stream(&file);
    stream << QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss") << info << "\n";
    file.close();
}

QString KitWidget::getFileName(const QString &filter, QString defaultDir)
{
    return QFileDialog::getOpenFileName(nullptr, "选择文件", defaultDir, filter);
}

QStringList KitWidget::getFileNames(const QString &filter, QString defaultDir)
{
    return QFileDialog::getOpenFileNames(nullptr, "选择文件", defaultDir, filter);
}

QString KitWidget::getFolderName()
{
    return QFileDialog::getExistingDirectory(nullptr, QString(), QString(),
                                             QFileDialog::ShowDirsOnly);
}

QString KitWidget::getFileNameWithExtension(const QString &strFilePath)
{
    return QFileInfo(strFilePath).fileName();
}

QStringList KitWidget::getFolderFileNames(const QStringList &filter)
{
    const QString strFolder = getFolderName();
    if (strFolder.isEmpty())
        return QStringList();
    QDir dir(strFolder);
    if (!dir.exists())
        return QStringList();
    return dir.entryList(filter, QDir::Files | QDir::Dirs, QDir::Name | QDir::IgnoreCase);
}

bool KitWidget::folderIsExist(const QString &strFolder)
{
    return QDir(strFolder).exists();
}

bool KitWidget::fileIsExist(const QString &strFile)
{
    return QFile(strFile).exists();
}

bool KitWidget::copyFile(const QString &sourceFile, const QString &targetFile)
{
    if (!QFile::copy(sourceFile, targetFile))
        return false;
    // Lift a read-only mark but keep the copy readable.
    return QFile::setPermissions(targetFile,
                                 QFile::permissions(targetFile) | QFileDevice::WriteOwner);
}

void KitWidget::deleteDirectory(const QString &path)
{
    QDir dir(path);
    if (!dir.exists())
        return;
    dir.setFilter(QDir::AllEntries | QDir::NoDotAndDotDot);
    const QFileInfoList list = dir.entryInfoList();
    for (const QFileInfo &info : list) {
        if (info.isDir() && !info.isSymLink()) {
            deleteDirectory(info.absoluteFilePath());
            dir.rmdir(info.absoluteFilePath());
        } else {
            dir.remove(info.fileName());
        }
    }
}

// ---- style switching ----

QString KitWidget::styleSheetFile(Style style)
{
    static const char *const files[] = {
        "silvery", "blue",      "lightblue",  "darkblue",  "gray",      "lightgray", "darkgray",
        "black",   "lightblack", "darkblack", "inkblack", "flatblack", "flatwhite"};
    const int index = int(style);
    const char *name = (index >= 0 && index < 13) ? files[index] : "blue";
    return QString(":/res/res/qss/%1.css").arg(QLatin1String(name));
}

bool KitWidget::readStyleSheet(const QString &qssFile, QString &qss)
{
    QFile file(qssFile);
    if (!file.open(QFile::ReadOnly))
        return false;
    qss = QString::fromLatin1(file.readAll());
    file.close();
    return true;
}

void KitWidget::applyStyleSheet(const QString &qss, const QString &paletteColor)
{
    qApp->setPalette(QPalette(QColor(paletteColor)));
    qApp->setStyleSheet(qss);
}

void KitWidget::setStyle(Style style)
{
    QString qss;
    if (!readStyleSheet(styleSheetFile(style), qss))
        return;
    applyStyleSheet(qss, qss.mid(20, 7));
}

void KitWidget::setStyle(const QString &qssFile, QString &paletteColor, QString &textColor)
{
    QString qss;
    if (!readStyleSheet(qssFile, qss))
        return;
    paletteColor = qss.mid(20, 7);
    textColor = qss.mid(49, 7);
    applyStyleSheet(qss, paletteColor);
}

void KitWidget::setStyle(const QString &qssFile, QString &textColor, QString &panelColor,
                         QString &borderColor, QString &normalColorStart, QString &normalColorEnd,
                         QString &darkColorStart, QString &darkColorEnd, QString &highColor)
{
    QString qss;
    if (!readStyleSheet(qssFile, qss))
        return;
    getQssColor(qss, textColor, panelColor, borderColor, normalColorStart, normalColorEnd,
                darkColorStart, darkColorEnd, highColor);
    applyStyleSheet(qss, panelColor);
}

void KitWidget::getQssColor(const QString &qss, QString &textColor, QString &panelColor,
                            QString &borderColor, QString &normalColorStart,
                            QString &normalColorEnd, QString &darkColorStart,
                            QString &darkColorEnd, QString &highColor)
{
    const struct
    {
        const char *marker;
        QString *color;
    } markers[] = {
        {"TextColor:", &textColor},
        {"PanelColor:", &panelColor},
        {"BorderColor:", &borderColor},
        {"NormalColorStart:", &normalColorStart},
        {"NormalColorEnd:", &normalColorEnd},
        {"DarkColorStart:", &darkColorStart},
        {"DarkColorEnd:", &darkColorEnd},
        {"HighColor:", &highColor},
    };
    for (const auto &m : markers) {
        const QString marker = QString::fromLatin1(m.marker);
        const int index = qss.indexOf(marker);
        if (index >= 0)
            *m.color = qss.mid(index + marker.length(), 7);
    }
}

// ---- application set-up ----

void KitWidget::setTranslator(const QString &qmFile)
{
    QTranslator *translator = new QTranslator(qApp);
    translator->load(qmFile);
    qApp->installTranslator(translator);
}

void KitWidget::setCode()
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("utf-8"));
}

void KitWidget::sleep(int sec)
{
    // Measured on the monotonic clock, so that a change of the wall clock
    // (or midnight) neither cuts the wait short nor stretches it.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < sec) {
        QEventLoop loop;
        QTimer::singleShot(int(qMin<qint64>(100, sec - timer.elapsed())), &loop,
                           &QEventLoop::quit);
        loop.exec();
    }
}

// ---- system ----

void KitWidget::setCommandRunner(CommandRunner runner)
{
    g_commandRunner = std::move(runner);
}

void KitWidget::setSystemDateTime(const QString &year, const QString &month, const QString &day,
                                  const QString &hour, const QString &min, const QString &sec)
{
    const QString stamp =
        QString("%1-%2-%3 %4:%5:%6").arg(year, month, day, hour, min, sec);
    const QStringList args = {QStringLiteral("-s"), stamp};
    if (g_commandRunner)
        g_commandRunner(QStringLiteral("date"), args);
    else
        runCommand(QStringLiteral("date"), args);
}

QString KitWidget::autostartFile(const QString &strName)
{
    QString name = strName;
    name.replace('/', '_');
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/autostart/" + name + ".desktop";
}

void KitWidget::runWithSystem(const QString &strName, const QString &strPath, bool autoRun)
{
    const QString fileName = autostartFile(strName);
    if (!autoRun) {
        // Switching the start-up off removes the entry instead of leaving an
        // empty one behind.
        QFile::remove(fileName);
        return;
    }

    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    QString name = strName;
    name.replace('\n', ' ');
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    stream << "[Desktop Entry]\n"
           << "Type=Application\n"
           << "Name=" << name << "\n"
           << "Exec=" << quoteExecArg(QString(strPath).replace('\n', ' ')) << "\n"
           << "X-GNOME-Autostart-enabled=true\n";
    stream.flush();
    file.commit();
}

// ---- validators ----

bool KitWidget::isIP(const QString &ip)
{
    static const QRegularExpression re(QRegularExpression::anchoredPattern(
        "((2[0-4]\\d|25[0-5]|[01]?\\d\\d?)\\.){3}(2[0-4]\\d|25[0-5]|[01]?\\d\\d?)"));
    return re.match(ip).hasMatch();
}

// The validators anchor at the very end of the text: a plain "$" would also
// match before a final line feed and let "...\n" through.
bool KitWidget::isMac(const QString &mac)
{
    static const QRegularExpression re(
        QRegularExpression::anchoredPattern("[A-F0-9]{2}(-[A-F0-9]{2}){5}"));
    return re.match(mac).hasMatch();
}

bool KitWidget::isTel(const QString &tel)
{
    static const QRegularExpression re(QRegularExpression::anchoredPattern("1[3458][0-9]{9}"));
    return re.match(tel).hasMatch();
}

bool KitWidget::isEmail(const QString &email)
{
    static const QRegularExpression re(
        QRegularExpression::anchoredPattern("[^@\\s]+@[^@\\s.]+(\\.[^@\\s.]+)+"));
    return re.match(email).hasMatch();
}

// ---- network probes ----

bool KitWidget::ipLive(const QString &ip, int port, int timeout)
{
    QTcpSocket socket;
    socket.connectToHost(ip, quint16(port));
    const bool ok = socket.waitForConnected(timeout);
    socket.abort();
    return ok;
}

QString KitWidget::getHtml(const QString &url, int timeout)
{
    QNetworkAccessManager manager;
    QNetworkReply *reply = manager.get(QNetworkRequest(QUrl(url)));
    // The body is collected as it arrives, so that a reply cut off at the
    // deadline still gives what came before it.
    QByteArray body;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::readyRead, &loop,
                     [reply, &body]() { body += reply->readAll(); });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // One deadline for the whole call: a server trickling its answer byte by
    // byte does not hold it any longer than a silent one.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [reply]() {
        reply->abort();
    });
    if (!reply->isFinished()) {
        if (timeout > 0)
            deadline.start(timeout);
        loop.exec();
    }
    if (reply->isOpen())
        body += reply->readAll();
    delete reply;
    return QString::fromUtf8(body);
}

QString KitWidget::getNetIP(const QString &webCode)
{
    QString web = webCode;
    web.remove(' ');
    web.remove('\r');
    web.remove('\n');
    const QStringList pieces = web.split("<br/>");
    if (pieces.count() < 4)
        return QString();
    const QStringList parts = pieces.at(3).split("=");
    if (parts.count() < 2)
        return QString();
    return parts.at(1);
}

QString KitWidget::getLocalIP()
{
    // The first address that is not a loopback one, an IPv4 address before any
    // other; "127.0.0.1" when the computer has only loopback addresses.
    const QList<QHostAddress> addresses = QNetworkInterface::allAddresses();
    QString other;
    for (const QHostAddress &address : addresses) {
        if (address.isLoopback())
            continue;
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            return address.toString();
        if (other.isEmpty())
            other = address.toString();
    }
    if (!other.isEmpty())
        return other;
    return addresses.isEmpty() ? QString() : QStringLiteral("127.0.0.1");
}

QString KitWidget::urlToIP(const QString &url)
{
    const QHostInfo host = QHostInfo::fromName(url);
    const QList<QHostAddress> addresses = host.addresses();
    if (addresses.isEmpty())
        return QString();
    return addresses.first().toString();
}

void KitWidget::setWebProbe(const QString &host, int port)
{
    g_webHost = host;
    g_webPort = port;
}

bool KitWidget::isWebOk()
{
    return ipLive(g_webHost, g_webPort, 1000);
}

// ---- message and input boxes ----

void KitWidget::showMessageBoxInfo(const QString &info, int closeSec)
{
    KitMessageBox::Instance()->setMessage(info, 0, closeSec);
    KitMessageBox::Instance()->show();
}

void KitWidget::showMessageBoxError(const QString &info, int closeSec)
{
    KitMessageBox::Instance()->setMessage(info, 2, closeSec);
    KitMessageBox::Instance()->show();
}

int KitWidget::showMessageBoxQuestion(const QString &info)
{
    KitMessageBox msg;
    msg.setMessage(info, 1);
    return msg.exec();
}

QString KitWidget::showInputBox(bool &ok, const QString &title, int type, int closeSec,
                                QString defaultValue, bool pwd)
{
    KitInputBox input;
    input.setParameter(title, type, closeSec, defaultValue, pwd);
    ok = input.exec() == KitInputBox::ResultOk;
    return input.getValue();
}
