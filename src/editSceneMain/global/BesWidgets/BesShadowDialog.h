#ifndef BESSHADOWDIALOG_H
#define BESSHADOWDIALOG_H

#include <QColor>
#include <QDialog>

// Dialog with a dark body and an orange glow band around it.
class BesShadowDialog : public QDialog
{
    Q_OBJECT
public:
    explicit BesShadowDialog(QWidget *parent = nullptr);

    void SetShadowBorder(int nBorder);
    void SetMarginTop(int nMarginTop);
    void SetBackgroundColor(QColor color);

protected:
    void paintEvent(QPaintEvent *event) override;

    QColor bgColor;
    int marginTop;
    int border;
};

#endif // BESSHADOWDIALOG_H
