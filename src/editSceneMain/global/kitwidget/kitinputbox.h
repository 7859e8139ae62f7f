#ifndef KITINPUTBOX_H
#define KITINPUTBOX_H

#include <QDialog>

#include "kitboxframe.h"

class QComboBox;
class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpacerItem;
class QVBoxLayout;

// The toolkit's frameless input box: one value typed (optionally masked) or
// chosen from a list, with an optional count-down that closes it.
class KitInputBox : public QDialog
{
    Q_OBJECT
public:
    static KitInputBox *Instance();
    explicit KitInputBox(QWidget *parent = nullptr);
    ~KitInputBox() override;

    // Results of a modal run ended by the buttons.
    enum { ResultOk = 0x400, ResultCancel = 0x400000 };

    QString getValue() const;

public slots:
    void setParameter(const QString &title, int type = 0, int closeSec = 0,
                      QString defaultValue = QString(), bool pwd = false);
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
    static KitInputBox *self;

    QVBoxLayout *verticalLayout1 = nullptr;
    KitBoxFrame::TitleRow titleRow;
    QWidget *widgetMain = nullptr;
    QVBoxLayout *verticalLayout2 = nullptr;
    QFrame *frame = nullptr;
    QVBoxLayout *verticalLayout3 = nullptr;
    QLabel *labInfo = nullptr;
    QLineEdit *txtValue = nullptr;
    QComboBox *cboxValue = nullptr;
    QHBoxLayout *lay = nullptr;
    QSpacerItem *horizontalSpacer = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;

    int closeSec = 0;
    int currentSec = 0;
    QString value;
};

#endif // KITINPUTBOX_H
