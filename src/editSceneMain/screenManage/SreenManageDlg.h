#ifndef SREENMANAGEDLG_H
#define SREENMANAGEDLG_H

#include <QDialog>
#include <QList>
#include <QRect>

class CTitleHelper;

namespace Ui {
class CSreenManageDlg;
}

enum Screen_Direction {
    Screen_UP = 0,
    Screen_DOWN,
    Screen_LEFT,
    Screen_RIGHT,
    Screen_LEFTTOP,
    Screen_LEFTBOTTOM,
    Screen_RIGHTBOTTOM,
    Screen_RIGHTTOP,
    Screen_NONE
};

// The small frameless "screen management" dialog: lists the PC's screens by
// size, shows the play window's rectangle, lets the operator edit it and a
// name, and hands the rectangle to the canvas ("slot_resizePlayWnd") on Apply
// and on OK. It moves by its title row and resizes by its borders.
class CSreenManageDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CSreenManageDlg(QWidget *parent = nullptr);
    ~CSreenManageDlg() override;

    void setDlgData(QList<QRect> &listScreen, QRect &rect);

    // Border or corner under a global pointer position (sets the cursor too).
    void region(const QPoint &cursorGlobalPoint);
    Screen_Direction direction() const { return dir; }

public slots:
    void slot_doubleclick_max();
    void on_btnMin_clicked();
    void on_btnNormalMax_clicked();
    void on_btnClose_clicked();
    void on_btnApply_clicked();
    void on_btnOk_clicked();
    void on_btnCancel_clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void initUIData();
    // The edited rectangle; false (after telling the operator) when its
    // width or height is not a positive number.
    bool editedRect(QRect &rect);

    CTitleHelper *m_titleHelper = nullptr;
    bool isLeftPressDown = false;
    QPoint dragPosition;
    Screen_Direction dir = Screen_NONE;
    int border = 1;
    int m_nIndex = 0;
    QString m_strName;
    QString m_strX;
    QString m_strY;
    QString m_strWidth;
    QString m_strHeight;
    Ui::CSreenManageDlg *ui;
};

#endif // SREENMANAGEDLG_H
