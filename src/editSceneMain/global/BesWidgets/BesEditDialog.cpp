#include "BesEditDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "BesButton.h"
#include "BesScaleUtil.h"

BesEditDialog::BesEditDialog(QWidget *parent)
    : BesFramelessDialog(parent)
{
    setMinimumHeight(BesScaleUtil::scaled(300));
    setMinimumWidth(BesScaleUtil::scaled(600));
    initLayout();
    connect(editAddItemName, &QLineEdit::textChanged, this, &BesEditDialog::OnTextChanged);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void BesEditDialog::initLayout()
{
    const double s = BesScaleUtil::scale();
    auto sc = [s](int nBase) { return static_cast<int>(s * nBase); };

    QVBoxLayout *pDialogLayout = new QVBoxLayout(this);
    pDialogLayout->setContentsMargins(8, 8, 8, 8);
    pDialogLayout->setSpacing(0);

    widgetMessageBoxContainer = new QWidget(this);
    widgetMessageBoxContainer->setObjectName("widgetBody");
    widgetMessageBoxContainer->setMouseTracking(true);
    pDialogLayout->addWidget(widgetMessageBoxContainer);

    QVBoxLayout *pBodyLayout = new QVBoxLayout(widgetMessageBoxContainer);
    pBodyLayout->setContentsMargins(sc(32), sc(32), sc(32), sc(32));
    pBodyLayout->setSpacing(sc(25));

    labelAddItemNameTip = new QLabel(widgetMessageBoxContainer);
    labelAddItemNameTip->setObjectName("labelAddItemNameTip");
    labelAddItemNameTip->setText(tr("编辑"));
    labelAddItemNameTip->setFixedHeight(sc(45));
    labelAddItemNameTip->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Fixed);

    editAddItemName = new QLineEdit(widgetMessageBoxContainer);
    editAddItemName->setObjectName("editAddItemName");
    editAddItemName->setFixedHeight(sc(40));
    editAddItemName->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Fixed);

    btnOK = new BesButton(widgetMessageBoxContainer);
    btnOK->setObjectName("btnOK");
    btnOK->setText(tr("确定"));
    btnCancel = new BesButton(widgetMessageBoxContainer);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setText(tr("取消"));
    for (BesButton *pBtn : {btnOK, btnCancel}) {
        pBtn->setFixedHeight(sc(40));
        pBtn->setMinimumWidth(sc(100));
        pBtn->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Fixed);
    }
    btnOK->setEnabled(false);

    QHBoxLayout *pBtnLayout = new QHBoxLayout();
    pBtnLayout->addSpacerItem(new QSpacerItem(sc(20), 20, QSizePolicy::MinimumExpanding, QSizePolicy::Fixed));
    pBtnLayout->addWidget(btnOK);
    pBtnLayout->addWidget(btnCancel);
    pBtnLayout->addSpacerItem(new QSpacerItem(sc(20), 20, QSizePolicy::MinimumExpanding, QSizePolicy::Fixed));

    pBodyLayout->addWidget(labelAddItemNameTip);
    pBodyLayout->addWidget(editAddItemName);
    pBodyLayout->addLayout(pBtnLayout);
}

void BesEditDialog::setText(QString text)
{
    strContent = text;
    setMinimumWidth(static_cast<int>(BesScaleUtil::scale() * qMax(10 * text.length(), 600)));
    editAddItemName->setText(text);
}

QString BesEditDialog::getText() const
{
    return editAddItemName->text().trimmed();
}

void BesEditDialog::OnTextChanged(QString text)
{
    const QString t = text.trimmed();
    btnOK->setEnabled(!t.isEmpty() && t != strContent);
}
