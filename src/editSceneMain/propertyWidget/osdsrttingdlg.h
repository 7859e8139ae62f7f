#ifndef OSDSRTTINGDLG_H
#define OSDSRTTINGDLG_H

// OSDsrttingdlg - the OSD settings dialog: six OSD texts, one tab each. Apply
// makes the current tab's text the program-wide OSD text and its index the OSD
// index, and asks the canvas for an OSD item with that text.

#include <QDialog>

namespace Ui {
class OSDsrttingdlg;
}

class OSDsrttingdlg : public QDialog
{
    Q_OBJECT
public:
    explicit OSDsrttingdlg(QWidget *parent = nullptr);
    ~OSDsrttingdlg() override;

    // Shows the OSD of that index (the edited device's own) for the next apply.
    void setOsdIndex(int nIndex);

public slots:
    // The dialog's texts follow the language in force when it is built.
    void slot_updateOSDsrttingdlglanguage(int nLanguage);

private slots:
    void on_ApplyButton_clicked();
    void on_ReturnButton_clicked();

private:
    Ui::OSDsrttingdlg *ui;
};

#endif // OSDSRTTINGDLG_H
