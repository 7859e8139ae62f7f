#ifndef KITMESSAGEBOX_H
#define KITMESSAGEBOX_H

#include <QDialog>

#include "kitboxframe.h"

class QFrame;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QSpacerItem;
class QTimer;
class QVBoxLayout;

// The toolkit's frameless message box: information, question or error, with an
// optional count-down that closes it.
class KitMessageBox : public QDialog
{
    Q_OBJECT
public:
    static KitMessageBox *Instance();
    explicit KitMessageBox(QWidget *parent = nullptr);
    ~KitMessageBox() override;

    // Results of a modal run ended by the buttons.
    enum { ResultOk = 0x4000, ResultCancel = 0x10000 };

public slots:
    void setMessage(const QString &msg, int type, int closeSec = 0);
    void setIconMain(QChar str, quint32 size = 9);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *) override;

private slots:
    void initControl();
    void initForm();
    void checkSec();
    void on_btnOk_clicked();
    void on_btnMenu_Close_clicked();

private:
    static KitMessageBox *self;

    QVBoxLayout *verticalLayout1 = nullptr;
    KitBoxFrame::TitleRow titleRow;
    QWidget *widgetMain = nullptr;
    QVBoxLayout *verticalLayout2 = nullptr;
    QFrame *frame = nullptr;
    QVBoxLayout *verticalLayout4 = nullptr;
    QHBoxLayout *horizontalLayout1 = nullptr;
    QLabel *labIcoMain = nullptr;
    QSpacerItem *horizontalSpacer1 = nullptr;
    QLabel *labInfo = nullptr;
    QHBoxLayout *horizontalLayout2 = nullptr;
    QSpacerItem *horizontalSpacer2 = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;

    int closeSec = 0;
    int currentSec = 0;
};

#endif // KITMESSAGEBOX_H
