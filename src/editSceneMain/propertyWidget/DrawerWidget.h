#ifndef DRAWERWIDGET_H
#define DRAWERWIDGET_H

// CDrawerWidget - a collapsible drawer: titled sections inside a scroll area,
// each a header button (CDrawerButton) above its content widget; clicking a
// header hides or shows its content. The drawer owns the section widgets.

#include <QList>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

class QLabel;
class QLayout;
class QScrollArea;
class QVBoxLayout;

class CDrawerButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CDrawerButton(QWidget *parent = nullptr);

    void SetImageLabel(const QPixmap &pixmap);
    void SetTextLabel(const QString &strText);
    QLabel *GetImageHandle() const { return m_imageLabel; }
    QLabel *GetTextHandle() const { return m_textLabel; }

    bool m_bIsOpen = true;

private:
    QLabel *m_imageLabel = nullptr;
    QLabel *m_textLabel = nullptr;
};

class CDrawerWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CDrawerWidget(QWidget *parent = nullptr);
    ~CDrawerWidget() override;

    // One section per title and widget, in list order; lists of different length add nothing.
    void add_locker(const QStringList &titles, const QList<QWidget *> &widgets);
    // Takes every item out of the layout; widgets are detached, not deleted.
    static void deleteAllitemsOfLayout(QLayout *layout);

    const QList<CDrawerButton *> &buttons() const { return Buttons; }
    // The widget the sections are laid out in: a section made as its child is placed without
    // being moved (a widget moved to another parent is restyled with everything in it).
    QWidget *paneContainer() const { return scrollWidget; }
    const QList<QWidget *> &widgets() const { return Widgets; }

public slots:
    void slot_btn(bool bChecked);

private:
    QVBoxLayout *mainLayout = nullptr;
    QVBoxLayout *layout_widgetScroll = nullptr;
    CDrawerButton *m_Button = nullptr;
    QList<CDrawerButton *> Buttons;
    QList<QWidget *> Widgets;
    QScrollArea *scrollArea = nullptr;
    QWidget *scrollWidget = nullptr;
    QPixmap pixmap_open;
    QPixmap pixmap_close;
};

#endif // DRAWERWIDGET_H
