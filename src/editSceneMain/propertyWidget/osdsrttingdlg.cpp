#include "osdsrttingdlg.h"
#include "ui_osdsrttingdlg.h"

#include "BesMessageBox.h"
#include "OSDTransfer.h"
#include "QorGlobal.h"
#include "globalObserver.h"

#include <QLineEdit>
#include <QPointF>

OSDsrttingdlg::OSDsrttingdlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::OSDsrttingdlg)
{
    ui->setupUi(this);
    setWindowTitle(tr("OSD设置"));
}

OSDsrttingdlg::~OSDsrttingdlg()
{
    delete ui;
}

void OSDsrttingdlg::setOsdIndex(int nIndex)
{
    if (nIndex >= 0 && nIndex < ui->tabWidget->count())
        ui->tabWidget->setCurrentIndex(nIndex);
}

void OSDsrttingdlg::slot_updateOSDsrttingdlglanguage(int nLanguage)
{
    Q_UNUSED(nLanguage)
}

void OSDsrttingdlg::on_ApplyButton_clicked()
{
    // While an OSD goes to the device its index stays the console's: one chosen now would stand
    // for an OSD the device never gets.
    if (COSDTransfer::activeTransfer()) {
        BesMessageBox::information(tr("OSD设置"), QCoreApplication::translate("CPropertyStack", "OSD数据正在下发，请稍候"));
        hide();
        return;
    }
    const int nIndex = ui->tabWidget->currentIndex();
    QWidget *pPage = ui->tabWidget->widget(nIndex);
    QLineEdit *pEdit = pPage ? pPage->findChild<QLineEdit *>() : nullptr;
    g_strOSD = pEdit ? pEdit->text() : QString();
    g_OSDindex = nIndex;
    QPointF pos(0, 0);
    const QString &strText = g_strOSD;
    int nSelect = 1;
    globalObserver::getGlobalObserver()->notify("slot_addCanvasOSDItem", Q_ARG(QPointF &, pos),
                                                Q_ARG(const QString &, strText), Q_ARG(int, nSelect));
    hide();
}

void OSDsrttingdlg::on_ReturnButton_clicked()
{
    hide();
}
