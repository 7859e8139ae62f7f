#ifndef SCREENPOPERTY_H
#define SCREENPOPERTY_H

#include <QWidget>

namespace Ui {
class CScreenPoperty;
}

// A panel with the screen dialog's fields (screen, name, position and size),
// without buttons.
class CScreenPoperty : public QWidget
{
    Q_OBJECT
public:
    explicit CScreenPoperty(QWidget *parent = nullptr);
    ~CScreenPoperty() override;

    void setDlgData(QRect &rect);
    void setDlgName(QString &strName);

private:
    Ui::CScreenPoperty *ui;
};

#endif // SCREENPOPERTY_H
