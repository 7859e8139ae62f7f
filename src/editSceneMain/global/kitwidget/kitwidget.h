#ifndef KITWIDGET_H
#define KITWIDGET_H

#include <QDialog>
#include <QRect>
#include <functional>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QToolButton;
class QVBoxLayout;

// The toolkit's frameless dialog with a title bar of its own (icon, title, style
// menu, minimise, maximise and close), moved by dragging and maximised to the
// available desktop area. The class also carries the toolkit's static
// utilities and its number and byte conversions.
class KitWidget : public QDialog
{
    Q_OBJECT
    Q_PROPERTY(QString title READ getTitle WRITE setTitle)
    Q_PROPERTY(Qt::Alignment alignment READ getAlignment WRITE setAlignment)

public:
    enum Widget {
        Lab_Ico = 0,
        BtnMenu = 1,
        BtnMenu_Min = 2,
        BtnMenu_Max = 3,
        BtnMenu_Normal = 4,
        BtnMenu_Close = 5
    };

    enum Style {
        Style_Silvery = 0,
        Style_Blue = 1,
        Style_LightBlue = 2,
        Style_DarkBlue = 3,
        Style_Gray = 4,
        Style_LightGray = 5,
        Style_DarkGray = 6,
        Style_Black = 7,
        Style_LightBlack = 8,
        Style_DarkBlack = 9,
        Style_InkBlack = 10,
        Style_FlatBlack = 11,
        Style_FlatWhite = 12
    };
    Q_ENUM(Style)

    explicit KitWidget(QWidget *parent = nullptr);
    ~KitWidget() override;

    using QDialog::setVisible;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    QLabel *getLabIco() const;
    QLabel *getLabTitle() const;
    QToolButton *getBtnMenu() const;
    QPushButton *getBtnMenuMin() const;
    QPushButton *getBtnMenuMax() const;
    QPushButton *getBtnMenuMClose() const;

    QString getTitle() const;
    Qt::Alignment getAlignment() const;

    // ---- byte and number conversions ----
    static int strHexToDecimal(const QString &strHex);
    static int strDecimalToDecimal(const QString &strDecimal);
    static int strBinToDecimal(const QString &strBin);
    static QString strHexToStrBin(const QString &strHex);
    static QString decimalToStrBin1(int decimal);
    static QString decimalToStrBin2(int decimal);
    static QString decimalToStrHex(int decimal);
    static QByteArray intToByte(int i);
    static int byteToInt(const QByteArray &data);
    static QByteArray ushortToByte(unsigned short i);
    static int byteToUShort(const QByteArray &data);
    static QString getXorEncryptDecrypt(const QString &str, char key);
    static uchar getOrCode(const QByteArray &data);
    static uchar getCheckCode(const QByteArray &data);
    static QString byteArrayToAsciiStr(const QByteArray &data);
    static QByteArray hexStrToByteArray(const QString &str);
    static char convertHexChar(char ch);
    static QByteArray asciiStrToByteArray(const QString &str);
    static QString byteArrayToHexStr(const QByteArray &data);

    // ---- screen and program ----
    static int deskWidth();
    static int deskHeight();
    static QString appName();
    static QString appPath();
    static void setFormInCenter(QWidget *frm);

    // ---- folders and files ----
    static void newDir(const QString &dirName);
    static void writeInfo(const QString &info, const QString &filePath = "log");
    static QString getFileName(const QString &filter, QString defaultDir = QString());
    static QStringList getFileNames(const QString &filter, QString defaultDir = QString());
    static QString getFolderName();
    static QString getFileNameWithExtension(const QString &strFilePath);
    static QStringList getFolderFileNames(const QStringList &filter);
    static bool folderIsExist(const QString &strFolder);
    static bool fileIsExist(const QString &strFile);
    static bool copyFile(const QString &sourceFile, const QString &targetFile);
    static void deleteDirectory(const QString &path);

    // ---- style switching ----
    static QString styleSheetFile(Style style);
    static void setStyle(Style style);
    static void setStyle(const QString &qssFile, QString &paletteColor, QString &textColor);
    static void setStyle(const QString &qssFile, QString &textColor, QString &panelColor,
                         QString &borderColor, QString &normalColorStart,
                         QString &normalColorEnd, QString &darkColorStart,
                         QString &darkColorEnd, QString &highColor);
    static void getQssColor(const QString &qss, QString &textColor, QString &panelColor,
                            QString &borderColor, QString &normalColorStart,
                            QString &normalColorEnd, QString &darkColorStart,
                            QString &darkColorEnd, QString &highColor);

    // ---- application set-up ----
    static void setTranslator(const QString &qmFile);
    static void setCode();
    static void sleep(int sec);

    // ---- system ----
    // Runs one system command; answers whether it ran and ended with status 0.
    using CommandRunner = std::function<bool(const QString &program, const QStringList &args)>;
    static void setCommandRunner(CommandRunner runner); // an empty runner restores the default
    static void setSystemDateTime(const QString &year, const QString &month, const QString &day,
                                  const QString &hour, const QString &min, const QString &sec);
    // Start-up entry: an XDG autostart entry named after strName.
    static QString autostartFile(const QString &strName);
    static void runWithSystem(const QString &strName, const QString &strPath, bool autoRun = true);

    // ---- validators ----
    static bool isIP(const QString &ip);
    static bool isMac(const QString &mac);
    static bool isTel(const QString &tel);
    static bool isEmail(const QString &email);

    // ---- network probes ----
    static bool ipLive(const QString &ip, int port, int timeout = 1000);
    static QString getHtml(const QString &url, int timeout = 10000);
    static QString getNetIP(const QString &webCode);
    static QString getLocalIP();
    static QString urlToIP(const QString &url);
    static void setWebProbe(const QString &host, int port); // the host isWebOk asks
    static bool isWebOk();

    // ---- message and input boxes ----
    static void showMessageBoxInfo(const QString &info, int closeSec = 0);
    static void showMessageBoxError(const QString &info, int closeSec = 0);
    static int showMessageBoxQuestion(const QString &info);
    static QString showInputBox(bool &ok, const QString &title, int type = 0, int closeSec = 0,
                                QString defaultValue = QString(), bool pwd = false);

signals:
    void changeStyle(const QString &qssFile);
    void closing();

public slots:
    void setIcon(KitWidget::Widget widget, QChar str, quint32 size = 9);
    void setIconMain(QChar str, quint32 size = 9);
    void setPixmap(KitWidget::Widget widget, const QString &file, const QSize &size = QSize(16, 16));
    void setVisible(KitWidget::Widget widget, bool visible = true);
    void setOnlyCloseBtn();
    void setTitleHeight(int height);
    void setBtnWidth(int width);
    void setTitle(const QString &title);
    void setAlignment(Qt::Alignment alignment);
    void setMinHide(bool minHide);
    void setMainWidget(QWidget *mainWidget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void initControl();
    void initForm();
    void changeStyle();
    void on_btnMenu_Min_clicked();
    void on_btnMenu_Max_clicked();
    void on_btnMenu_Close_clicked();

private:
    QVBoxLayout *verticalLayout1 = nullptr;
    QWidget *widgetMain = nullptr;
    QVBoxLayout *verticalLayout2 = nullptr;
    QWidget *widgetTitle = nullptr;
    QHBoxLayout *horizontalLayout4 = nullptr;
    QLabel *labIco = nullptr;
    QLabel *labTitle = nullptr;
    QWidget *widgetMenu = nullptr;
    QHBoxLayout *horizontalLayout = nullptr;
    QToolButton *btnMenu = nullptr;
    QPushButton *btnMenu_Min = nullptr;
    QPushButton *btnMenu_Max = nullptr;
    QPushButton *btnMenu_Close = nullptr;
    QWidget *widget = nullptr;
    QVBoxLayout *verticalLayout3 = nullptr;

    bool max = false;
    QRect location;
    QString title;
    Qt::Alignment alignment;
    bool minHide = false;
    QWidget *mainWidget = nullptr;

    static bool readStyleSheet(const QString &qssFile, QString &qss);
    static void applyStyleSheet(const QString &qss, const QString &paletteColor);
};

#endif // KITWIDGET_H
