#include "OSDWidget.h"
#include "ui_OSDWidget.h"

#include <QVBoxLayout>

OSDWidget::OSDWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::OSDWidget)
{
    ui->setupUi(this);
    layout_widgetScroll = new QVBoxLayout(ui->OSDSetWidget);
}

OSDWidget::~OSDWidget()
{
    delete ui;
}

QWidget *OSDWidget::paneContainer() const
{
    return ui->OSDSetWidget;
}

void OSDWidget::add_OSDLocker(const QList<QWidget *> &widgets)
{
    deleteAllitemsOfLayout(layout_widgetScroll);
    for (QWidget *pWidget : widgets)
        layout_widgetScroll->addWidget(pWidget, 0);
    layout_widgetScroll->addStretch(0);
}

void OSDWidget::deleteAllitemsOfLayout(QLayout *layout)
{
    if (!layout)
        return;
    while (QLayoutItem *pItem = layout->takeAt(0)) {
        if (QWidget *pWidget = pItem->widget())
            pWidget->setParent(nullptr);
        else if (QLayout *pChild = pItem->layout())
            deleteAllitemsOfLayout(pChild);
        delete pItem;
    }
}
