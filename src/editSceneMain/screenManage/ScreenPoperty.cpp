#include "ScreenPoperty.h"
#include "ui_ScreenPoperty.h"

#include <QIntValidator>

CScreenPoperty::CScreenPoperty(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CScreenPoperty)
{
    ui->setupUi(this);
    // The validators belong to the panel, so they go with it.
    ui->editX->setValidator(new QIntValidator(-50000, 50000, this));
    ui->editY->setValidator(new QIntValidator(-50000, 50000, this));
    ui->editW->setValidator(new QIntValidator(0, 50000, this));
    ui->editH->setValidator(new QIntValidator(0, 50000, this));
}

CScreenPoperty::~CScreenPoperty()
{
    delete ui;
}

void CScreenPoperty::setDlgData(QRect &rect)
{
    ui->editX->setText(QString::number(rect.x()));
    ui->editY->setText(QString::number(rect.y()));
    ui->editW->setText(QString::number(rect.width()));
    ui->editH->setText(QString::number(rect.height()));
}

void CScreenPoperty::setDlgName(QString &strName)
{
    ui->editName->setText(strName);
}
