#include "iconhelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDebug>
#include <QEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QToolButton>

IconHelper *IconHelper::self = nullptr;

IconHelper *IconHelper::Instance()
{
    if (!self) {
        static QMutex mutex;
        QMutexLocker locker(&mutex);
        if (!self)
            self = new IconHelper;
    }
    return self;
}

IconHelper::IconHelper(QObject *)
    : QObject(qApp)
{
    const int fontId = QFontDatabase::addApplicationFont(":/res/res/other/fontawesome-webfont.ttf");
    const QStringList families = QFontDatabase::applicationFontFamilies(fontId);
    if (!families.isEmpty())
        iconFont = QFont(families.first());
    else
        qDebug() << "load fontawesome-webfont.ttf error";
}

IconHelper::~IconHelper()
{
    if (self == this)
        self = nullptr;
}

void IconHelper::setIcon(QLabel *lab, QChar c, quint32 size)
{
    iconFont.setPointSize(int(size));
    lab->setFont(iconFont);
    lab->setText(c);
}

void IconHelper::setIcon(QAbstractButton *btn, QChar c, quint32 size)
{
    iconFont.setPointSize(int(size));
    btn->setFont(iconFont);
    btn->setText(c);
}

QPixmap IconHelper::getPixmap(const QString &color, QChar c, quint32 size, quint32 pixWidth,
                              quint32 pixHeight)
{
    QPixmap pix(static_cast<int>(pixWidth), static_cast<int>(pixHeight));
    pix.fill(Qt::transparent);

    QPainter painter;
    painter.begin(&pix);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setPen(QColor(color));
    painter.setBrush(QColor(color));

    iconFont.setPointSize(int(size));
    painter.setFont(iconFont);
    painter.drawText(pix.rect(), Qt::AlignCenter, c);
    painter.end();
    return pix;
}

QPixmap IconHelper::getPixmap(QToolButton *btn, bool normal)
{
    const int index = btns.indexOf(btn);
    if (index < 0)
        return QPixmap();
    return normal ? pixNormal.at(index) : pixDark.at(index);
}

QString IconHelper::buttonRules(const QString &type, int borderWidth, const QString &borderColor,
                                const QString &normalBgColor, const QString &darkBgColor,
                                const QString &normalTextColor, const QString &darkTextColor)
{
    QString strBorder;
    if (type == "top") {
        strBorder = QString("border-width:%1px 0px 0px 0px;padding:%1px %2px %2px %2px;")
                        .arg(borderWidth).arg(borderWidth * 2);
    } else if (type == "right") {
        strBorder = QString("border-width:0px %1px 0px 0px;padding:%2px %1px %2px %2px;")
                        .arg(borderWidth).arg(borderWidth * 2);
    } else if (type == "bottom") {
        strBorder = QString("border-width:0px 0px %1px 0px;padding:%2px %2px %1px %2px;")
                        .arg(borderWidth).arg(borderWidth * 2);
    } else if (type == "left") {
        strBorder = QString("border-width:0px 0px 0px %1px;padding:%2px %2px %2px %1px;")
                        .arg(borderWidth).arg(borderWidth * 2);
    }

    QString qss;
    qss += QString("QWidget[flag=\"%1\"] QAbstractButton{border-style:none;border-radius:0px;"
                   "padding:5px;color:%2;background:%3;}")
               .arg(type, normalTextColor, normalBgColor);
    qss += QString("QWidget[flag=\"%1\"] QAbstractButton:hover,QWidget[flag=\"%1\"] "
                   "QAbstractButton:pressed,QWidget[flag=\"%1\"] QAbstractButton:checked{"
                   "border-style:solid;%2border-color:%3;color:%4;background:%5;}")
               .arg(type, strBorder, borderColor, darkTextColor, darkBgColor);
    return qss;
}

QString IconHelper::toolButtonRules(const QString &normalBgColor, const QString &darkBgColor,
                                    const QString &normalTextColor, const QString &darkTextColor)
{
    QString qss;
    qss += QString("QToolButton{border-width:0px;}");
    qss += QString("QToolButton{background-color:%1;color:%2;}").arg(normalBgColor, normalTextColor);
    qss += QString("QToolButton:hover,QToolButton:pressed,QToolButton:checked{background-color:%1;"
                   "color:%2;}")
               .arg(darkBgColor, darkTextColor);
    return qss;
}

void IconHelper::setStyle(QWidget *widget, const QString &type, int borderWidth,
                          const QString &borderColor, const QString &normalBgColor,
                          const QString &darkBgColor, const QString &normalTextColor,
                          const QString &darkTextColor)
{
    widget->setStyleSheet(buttonRules(type, borderWidth, borderColor, normalBgColor, darkBgColor,
                                      normalTextColor, darkTextColor));
}

void IconHelper::setStyle(QWidget *widget, QList<QToolButton *> btns, QList<int> pixChar,
                          quint32 iconSize, quint32 iconWidth, quint32 iconHeight,
                          const QString &type, int borderWidth, const QString &borderColor,
                          const QString &normalBgColor, const QString &darkBgColor,
                          const QString &normalTextColor, const QString &darkTextColor)
{
    if (btns.isEmpty() || pixChar.isEmpty() || btns.count() != pixChar.count())
        return;

    QString qss = buttonRules(type, borderWidth, borderColor, normalBgColor, darkBgColor,
                              normalTextColor, darkTextColor);
    qss += QString("QWidget#%1{background:%2;}").arg(widget->objectName(), normalBgColor);
    qss += toolButtonRules(normalBgColor, darkBgColor, normalTextColor, darkTextColor);
    widget->setStyleSheet(qss);

    registerButtons(btns, pixChar, iconSize, iconWidth, iconHeight, normalTextColor, darkTextColor);
}

void IconHelper::setStyle(QFrame *frame, QList<QToolButton *> btns, QList<int> pixChar,
                          quint32 iconSize, quint32 iconWidth, quint32 iconHeight,
                          const QString &normalBgColor, const QString &darkBgColor,
                          const QString &normalTextColor, const QString &darkTextColor)
{
    if (btns.isEmpty() || pixChar.isEmpty() || btns.count() != pixChar.count())
        return;

    frame->setStyleSheet(toolButtonRules(normalBgColor, darkBgColor, normalTextColor, darkTextColor));
    registerButtons(btns, pixChar, iconSize, iconWidth, iconHeight, normalTextColor, darkTextColor);
}

void IconHelper::registerButtons(const QList<QToolButton *> &list, const QList<int> &pixChar,
                                 quint32 iconSize, quint32 iconWidth, quint32 iconHeight,
                                 const QString &normalTextColor, const QString &darkTextColor)
{
    for (int i = 0; i < list.count(); ++i) {
        QToolButton *btn = list.at(i);
        const QChar c(pixChar.at(i));
        const QPixmap normal = getPixmap(normalTextColor, c, iconSize, iconWidth, iconHeight);
        const QPixmap dark = getPixmap(darkTextColor, c, iconSize, iconWidth, iconHeight);

        btn->setIcon(QIcon(normal));
        btn->setIconSize(QSize(int(iconWidth), int(iconHeight)));
        btn->installEventFilter(this);
        // A destroyed button takes its registrations with it, so that a new
        // button at the same address starts unregistered.
        connect(btn, &QObject::destroyed, this, &IconHelper::forget, Qt::UniqueConnection);

        btns.append(btn);
        pixNormal.append(normal);
        pixDark.append(dark);
    }
}

void IconHelper::forget(QObject *btn)
{
    for (int i = btns.count() - 1; i >= 0; --i) {
        if (static_cast<QObject *>(btns.at(i)) == btn) {
            btns.removeAt(i);
            pixNormal.removeAt(i);
            pixDark.removeAt(i);
        }
    }
}

bool IconHelper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched->inherits("QToolButton")) {
        QToolButton *btn = static_cast<QToolButton *>(watched);
        const int index = btns.indexOf(btn);
        if (index >= 0) {
            if (event->type() == QEvent::Enter)
                btn->setIcon(QIcon(pixDark.at(index)));
            else if (event->type() == QEvent::Leave)
                btn->setIcon(QIcon(btn->isChecked() ? pixDark.at(index) : pixNormal.at(index)));
        }
    }
    return QObject::eventFilter(watched, event);
}
