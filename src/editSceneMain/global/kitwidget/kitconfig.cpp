#include "kitconfig.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

QChar KitConfig::IconMain = QChar(0xF072);
QChar KitConfig::IconMenu = QChar(0xF0D7);
QChar KitConfig::IconMin = QChar(0xF068);
QChar KitConfig::IconMax = QChar(0xF2D2);
QChar KitConfig::IconNormal = QChar(0xF2D0);
QChar KitConfig::IconClose = QChar(0xF00D);

QString KitConfig::FontName = QStringLiteral("Microsoft Yahei");
int KitConfig::FontSize = 9;

QString KitConfig::ConfigFile = QStringLiteral("config.ini");

QString KitConfig::TextColor = QStringLiteral("#F0F0F0");
QString KitConfig::PanelColor = QStringLiteral("#F0F0F0");
QString KitConfig::BorderColor = QStringLiteral("#F0F0F0");
QString KitConfig::NormalColorStart = QStringLiteral("#F0F0F0");
QString KitConfig::NormalColorEnd = QStringLiteral("#F0F0F0");
QString KitConfig::DarkColorStart = QStringLiteral("#F0F0F0");
QString KitConfig::DarkColorEnd = QStringLiteral("#F0F0F0");
QString KitConfig::HighColor = QStringLiteral("#F0F0F0");

void KitConfig::ReadConfig()
{
    if (!CheckConfig())
        return;
    QSettings set(ConfigFile, QSettings::IniFormat);
    set.beginGroup("BaseConfig");
    set.endGroup();
}

void KitConfig::WriteConfig()
{
    // The group holds no keys yet: nothing is written, so the file is neither
    // created nor changed.
    QSettings set(ConfigFile, QSettings::IniFormat);
    set.beginGroup("BaseConfig");
    set.endGroup();
}

void KitConfig::NewConfig()
{
    WriteConfig();
}

bool KitConfig::CheckConfig()
{
    if (QFileInfo(ConfigFile).size() == 0) {
        NewConfig();
        return false;
    }
    QFile file(ConfigFile);
    if (!file.open(QIODevice::ReadOnly)) {
        NewConfig();
        return false;
    }

    bool bOk = true;
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine());
        line.remove('\r');
        line.remove('\n');
        const QStringList list = line.split('=');
        if (list.count() == 2 && list.at(1).isEmpty()) {
            bOk = false;
            break;
        }
    }
    file.close();

    if (!bOk) {
        NewConfig();
        return false;
    }
    return true;
}
