#ifndef PROGRAMDLG_H
#define PROGRAMDLG_H

#include <QDialog>
#include <QString>
#include <QStringList>

namespace Ui {
class CProgramDlg;
}

// Lets the operator pick a scene name from a given list or type a new one.
// After an accepted run the opener reads the chosen name.
class CProgramDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CProgramDlg(QWidget *parent = nullptr);
    ~CProgramDlg() override;

    // Offers the names in the given order and selects the first.
    void setName(QStringList &listName);
    QString getName() const { return m_strName; }

private:
    Ui::CProgramDlg *ui;
    QString m_strName;
};

#endif // PROGRAMDLG_H
