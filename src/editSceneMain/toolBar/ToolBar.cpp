#include "ToolBar.h"
#include "ui_ToolBar.h"

#include "FrameStyles.h"
#include "globalObserver.h"

CToolBar::CToolBar(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CToolBar)
{
    ui->setupUi(this);
    setBtnTip();
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground, true);
    setStyleSheet(QString::fromLatin1(FrameStyles::kFloatingTools));
}

CToolBar::~CToolBar()
{
    delete ui;
}

void CToolBar::setBtnTip()
{
    ui->btnDelete->setToolTip(tr("删除画布中选择的页面"));
    ui->btnUp->setToolTip(tr("上移一层"));
    ui->btnDown->setToolTip(tr("下移一层"));
    ui->btnAuto->setToolTip(tr("自动填充屏幕"));
    ui->btnHorizontal->setToolTip(tr("分区水平居中"));
    ui->btnVertical->setToolTip(tr("分区垂直居中"));
}

void CToolBar::sendTool(int nValue)
{
    globalObserver::getGlobalObserver()->notify(QStringLiteral("slot_selectToolBar"), Q_ARG(int, nValue));
}

void CToolBar::on_btnDelete_clicked()
{
    sendTool(Value_Delete);
}

void CToolBar::on_btnUp_clicked()
{
    sendTool(Value_UpItem);
}

void CToolBar::on_btnDown_clicked()
{
    sendTool(Value_DownItem);
}

void CToolBar::on_btnAuto_clicked()
{
    sendTool(Value_AutoExpand);
}

// The horizontal button sends the horizontal spread (16), the vertical one the
// vertical spread (15): the reverse of their order in the strip.
void CToolBar::on_btnHorizontal_clicked()
{
    sendTool(Value_HorizontalExpand);
}

void CToolBar::on_btnVertical_clicked()
{
    sendTool(Value_VerticalExpand);
}
