#include "WndLightWidget.h"
#include "ui_WndLightWidget.h"

CWndLightWidget::CWndLightWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::wndLightWidget)
{
    ui->setupUi(this);
    ui->sliderLight->setRange(0, 100);
    ui->sliderCompare->setRange(0, 100);
    connect(ui->spinBoxLight, QOverload<int>::of(&QSpinBox::valueChanged), ui->sliderLight, &QSlider::setValue);
    connect(ui->sliderLight, &QSlider::valueChanged, ui->spinBoxLight, &QSpinBox::setValue);
    connect(ui->spinBoxCompare, QOverload<int>::of(&QSpinBox::valueChanged), ui->sliderCompare, &QSlider::setValue);
    connect(ui->sliderCompare, &QSlider::valueChanged, ui->spinBoxCompare, &QSpinBox::setValue);
}

CWndLightWidget::~CWndLightWidget()
{
    delete ui;
}
