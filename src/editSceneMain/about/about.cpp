#include "about.h"
#include "ui_about.h"

About::About(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::About)
{
    ui->setupUi(this);
    // A dialog whose only title button is close (no help button).
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setWindowOpacity(0.95);
    setStyleSheet(QStringLiteral("QDialog{background-color:#232326};"));
}

About::~About()
{
    delete ui;
}
