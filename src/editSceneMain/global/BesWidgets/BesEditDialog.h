#ifndef BESEDITDIALOG_H
#define BESEDITDIALOG_H

#include "BesFramelessDialog.h"

class QLabel;
class QLineEdit;
class BesButton;

// Frameless dialog for entering a name; OK is enabled only for a changed,
// non-blank name.
class BesEditDialog : public BesFramelessDialog
{
    Q_OBJECT
public:
    explicit BesEditDialog(QWidget *parent = nullptr);

    void setText(QString text);
    // The edited text without leading and trailing white space.
    QString getText() const;

signals:
    void sig_toggleAddWidget();
    void sig_addListItem(QString itemName);

public slots:
    void OnTextChanged(QString text);

private:
    void initLayout();

    QWidget *widgetMessageBoxContainer;
    QLabel *labelAddItemNameTip;
    QLineEdit *editAddItemName;
    BesButton *btnOK;
    BesButton *btnCancel;
    QString strContent;
};

#endif // BESEDITDIALOG_H
