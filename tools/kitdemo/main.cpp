// A window to look at the widget and style toolkit: the frameless dialog with
// its style menu, a navigation bar of glyph buttons, the message and input
// boxes and a few conversions.
//
//   kitdemo [--theme N]     N = 0..12 applies one of the colour styles at start
#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "iconhelper.h"
#include "kitwidget.h"

static QWidget *buildNavigation(QWidget *parent)
{
    QWidget *bar = new QWidget(parent);
    bar->setObjectName("widgetNav");
    // The bar's rules match its "flag" property, so it carries the type the
    // buttons are styled with.
    const QString type = "bottom";
    bar->setProperty("flag", type);
    QHBoxLayout *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    const QStringList texts = {"主页", "设备", "场景", "设置"};
    const QList<int> glyphs = {0xF015, 0xF108, 0xF03E, 0xF013};
    QList<QToolButton *> btns;
    for (int i = 0; i < texts.count(); ++i) {
        QToolButton *btn = new QToolButton(bar);
        btn->setText(texts.at(i));
        btn->setCheckable(true);
        btn->setAutoExclusive(true);
        btn->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        btn->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        btn->setMinimumHeight(64);
        layout->addWidget(btn);
        btns << btn;
    }
    btns.first()->setChecked(true);
    IconHelper::Instance()->setStyle(bar, btns, glyphs, 18, 24, 24, type, 3);
    return bar;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    int style = -1;
    const QStringList args = app.arguments();
    const int at = args.indexOf("--theme");
    if (at >= 0 && at + 1 < args.count())
        style = args.at(at + 1).toInt();

    KitWidget w;
    w.setTitle("Toolkit");
    w.setVisible(KitWidget::BtnMenu, true);

    QWidget *main = new QWidget;
    main->resize(640, 460);
    QVBoxLayout *layout = new QVBoxLayout(main);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildNavigation(main));

    QWidget *body = new QWidget(main);
    QVBoxLayout *bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(12, 12, 12, 12);

    // Glyphs drawn into pixmaps.
    QHBoxLayout *glyphRow = new QHBoxLayout;
    const QList<int> glyphs = {0xF072, 0xF00D, 0xF2D0, 0xF2D2, 0xF068, 0xF0D7, 0xF013, 0xF1EB};
    for (int g : glyphs) {
        QLabel *lab = new QLabel(body);
        lab->setPixmap(IconHelper::Instance()->getPixmap("#2F6FB3", QChar(g), 20, 32, 32));
        glyphRow->addWidget(lab);
    }
    glyphRow->addStretch();
    bodyLayout->addLayout(glyphRow);

    // Boxes.
    QGridLayout *boxes = new QGridLayout;
    QPushButton *btnInfo = new QPushButton("信息 (3 s)", body);
    QPushButton *btnError = new QPushButton("错误", body);
    QPushButton *btnQuestion = new QPushButton("询问", body);
    QPushButton *btnInput = new QPushButton("输入", body);
    QPushButton *btnChoice = new QPushButton("选择", body);
    boxes->addWidget(btnInfo, 0, 0);
    boxes->addWidget(btnError, 0, 1);
    boxes->addWidget(btnQuestion, 0, 2);
    boxes->addWidget(btnInput, 1, 0);
    boxes->addWidget(btnChoice, 1, 1);
    bodyLayout->addLayout(boxes);
    QLabel *labAnswer = new QLabel(body);
    bodyLayout->addWidget(labAnswer);

    QObject::connect(btnInfo, &QPushButton::clicked,
                     [] { KitWidget::showMessageBoxInfo("操作已完成。", 3); });
    QObject::connect(btnError, &QPushButton::clicked,
                     [] { KitWidget::showMessageBoxError("无法打开文件。"); });
    QObject::connect(btnQuestion, &QPushButton::clicked, [labAnswer] {
        const int result = KitWidget::showMessageBoxQuestion("确定要删除吗？");
        labAnswer->setText(QString("answer: 0x%1").arg(result, 0, 16));
    });
    QObject::connect(btnInput, &QPushButton::clicked, [labAnswer] {
        bool ok = false;
        const QString value = KitWidget::showInputBox(ok, "请输入名称:", 0, 0, "名称");
        labAnswer->setText(QString("ok=%1 value=%2").arg(ok).arg(value));
    });
    QObject::connect(btnChoice, &QPushButton::clicked, [labAnswer] {
        bool ok = false;
        const QString value = KitWidget::showInputBox(ok, "请选择:", 1, 10, "一|二|三");
        labAnswer->setText(QString("ok=%1 value=%2").arg(ok).arg(value));
    });

    // Conversions.
    QFormLayout *form = new QFormLayout;
    QLineEdit *txtHex = new QLineEdit("41 20 0D 0A 5C 7F AB", body);
    QLabel *labEscape = new QLabel(body);
    QLabel *labSums = new QLabel(body);
    form->addRow("hex", txtHex);
    form->addRow("escape", labEscape);
    form->addRow("xor / sum", labSums);
    bodyLayout->addLayout(form);
    auto refresh = [txtHex, labEscape, labSums] {
        const QByteArray bytes = KitWidget::hexStrToByteArray(txtHex->text());
        labEscape->setText(KitWidget::byteArrayToAsciiStr(bytes));
        labSums->setText(QString("%1 / %2")
                             .arg(KitWidget::decimalToStrHex(KitWidget::getOrCode(bytes)))
                             .arg(KitWidget::decimalToStrHex(KitWidget::getCheckCode(bytes))));
    };
    QObject::connect(txtHex, &QLineEdit::textChanged, refresh);
    refresh();

    QLabel *labStyle = new QLabel(body);
    bodyLayout->addWidget(labStyle);
    QObject::connect(&w, QOverload<const QString &>::of(&KitWidget::changeStyle), labStyle,
                     [labStyle](const QString &qss) { labStyle->setText("style: " + qss); });
    bodyLayout->addStretch();
    layout->addWidget(body, 1);

    w.setMainWidget(main);
    if (style >= 0)
        KitWidget::setStyle(KitWidget::Style(style));
    else
        KitWidget::setStyle(KitWidget::Style_Blue);
    KitWidget::setFormInCenter(&w);
    w.show();
    return app.exec();
}
