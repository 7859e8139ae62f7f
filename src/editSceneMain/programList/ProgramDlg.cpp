#include "ProgramDlg.h"
#include "ui_ProgramDlg.h"

CProgramDlg::CProgramDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CProgramDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    setWindowOpacity(0.95);
    setStyleSheet("QDialog{background-color:#232326};");
    connect(ui->cmbName, &QComboBox::currentTextChanged, this, [this](const QString &strText) { m_strName = strText; });
    connect(ui->pushButtonOk, &QPushButton::clicked, this, &CProgramDlg::accept);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &CProgramDlg::reject);
}

CProgramDlg::~CProgramDlg()
{
    delete ui;
}

void CProgramDlg::setName(QStringList &listName)
{
    ui->cmbName->addItems(listName);
    ui->cmbName->setCurrentIndex(0);
}
