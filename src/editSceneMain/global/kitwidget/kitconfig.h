#ifndef KITCONFIG_H
#define KITCONFIG_H

#include <QChar>
#include <QString>

// The toolkit's configuration values: the code points of the title-bar glyphs
// (icon font), a font name and size, the configuration file name and a set of
// colours. Static only; never instantiated.
class KitConfig
{
public:
    KitConfig() = delete;

    static QChar IconMain;   // icon label of the title bars
    static QChar IconMenu;   // style menu button
    static QChar IconMin;    // minimise button
    static QChar IconMax;    // maximise button while maximised
    static QChar IconNormal; // maximise button in normal size
    static QChar IconClose;  // close button

    static QString FontName;
    static int FontSize;

    static QString ConfigFile; // bare name: looked for in the current folder

    static QString TextColor;
    static QString PanelColor;
    static QString BorderColor;
    static QString NormalColorStart;
    static QString NormalColorEnd;
    static QString DarkColorStart;
    static QString DarkColorEnd;
    static QString HighColor;

    static void ReadConfig();
    static void WriteConfig();
    static void NewConfig();
    static bool CheckConfig();
};

#endif // KITCONFIG_H
