#ifndef TOOLBAR_H
#define TOOLBAR_H

#include <QWidget>

namespace Ui {
class CToolBar;
}

// The small vertical strip of six tool buttons that the editing canvas lays
// over its view. Each button asks the canvas, through "slot_selectToolBar", to
// run one tool on the selected layer; the strip holds no state of its own.
class CToolBar : public QWidget
{
    Q_OBJECT
public:
    // The values sent with "slot_selectToolBar" (the canvas's toolBarType).
    enum ToolValue {
        Value_Delete = 0,
        Value_UpItem = 12,
        Value_DownItem = 13,
        Value_AutoExpand = 14,
        Value_VerticalExpand = 15,
        Value_HorizontalExpand = 16
    };

    explicit CToolBar(QWidget *parent = nullptr);
    ~CToolBar() override;

    // (Re)sets the six tool tips from the current translation.
    void setBtnTip();

private slots:
    void on_btnDelete_clicked();
    void on_btnUp_clicked();
    void on_btnDown_clicked();
    void on_btnAuto_clicked();
    void on_btnHorizontal_clicked();
    void on_btnVertical_clicked();

private:
    static void sendTool(int nValue);

    Ui::CToolBar *ui;
};

#endif // TOOLBAR_H
