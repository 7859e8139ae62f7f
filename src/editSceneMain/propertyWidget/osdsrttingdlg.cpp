#include "osdsrttingdlg.h"
#include "ui_osdsrttingdlg.h"

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
