#ifndef ICONHELPER_H
#define ICONHELPER_H

#include <QFont>
#include <QList>
#include <QObject>
#include <QPixmap>

class QAbstractButton;
class QFrame;
class QLabel;
class QToolButton;
class QWidget;

// Shared painter of icon-font glyphs: on labels and buttons, into transparent
// pixmaps, and as the normal and highlighted icons of a navigation bar's tool
// buttons (swapped as the pointer enters and leaves a button).
class IconHelper : public QObject
{
    Q_OBJECT
public:
    static IconHelper *Instance();
    explicit IconHelper(QObject *parent = nullptr);
    ~IconHelper() override;

    void setIcon(QLabel *lab, QChar c, quint32 size = 9);
    void setIcon(QAbstractButton *btn, QChar c, quint32 size = 9);

    QPixmap getPixmap(const QString &color, QChar c, quint32 size = 9, quint32 pixWidth = 10,
                      quint32 pixHeight = 10);
    // The cached glyph of a registered navigation button; null when unregistered.
    QPixmap getPixmap(QToolButton *btn, bool normal);

    static void setStyle(QWidget *widget, const QString &type = "left", int borderWidth = 3,
                         const QString &borderColor = "#029FEA",
                         const QString &normalBgColor = "#292F38",
                         const QString &darkBgColor = "#1D2025",
                         const QString &normalTextColor = "#54626F",
                         const QString &darkTextColor = "#FDFDFD");

    void setStyle(QWidget *widget, QList<QToolButton *> btns, QList<int> pixChar,
                  quint32 iconSize = 9, quint32 iconWidth = 10, quint32 iconHeight = 10,
                  const QString &type = "left", int borderWidth = 3,
                  const QString &borderColor = "#029FEA", const QString &normalBgColor = "#292F38",
                  const QString &darkBgColor = "#1D2025",
                  const QString &normalTextColor = "#54626F",
                  const QString &darkTextColor = "#FDFDFD");

    void setStyle(QFrame *frame, QList<QToolButton *> btns, QList<int> pixChar,
                  quint32 iconSize = 9, quint32 iconWidth = 10, quint32 iconHeight = 10,
                  const QString &normalBgColor = "#2FC5A2", const QString &darkBgColor = "#3EA7E9",
                  const QString &normalTextColor = "#EEEEEE",
                  const QString &darkTextColor = "#FFFFFF");

    // The number of live registrations (destroyed buttons are dropped).
    int registeredCount() const { return btns.count(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static IconHelper *self;

    QFont iconFont;
    QList<QToolButton *> btns;
    QList<QPixmap> pixNormal;
    QList<QPixmap> pixDark;

    static QString buttonRules(const QString &type, int borderWidth, const QString &borderColor,
                               const QString &normalBgColor, const QString &darkBgColor,
                               const QString &normalTextColor, const QString &darkTextColor);
    static QString toolButtonRules(const QString &normalBgColor, const QString &darkBgColor,
                                   const QString &normalTextColor, const QString &darkTextColor);
    void registerButtons(const QList<QToolButton *> &list, const QList<int> &pixChar,
                         quint32 iconSize, quint32 iconWidth, quint32 iconHeight,
                         const QString &normalTextColor, const QString &darkTextColor);
    void forget(QObject *btn);
};

#endif // ICONHELPER_H
