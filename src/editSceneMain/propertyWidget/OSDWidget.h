#ifndef OSDWIDGET_H
#define OSDWIDGET_H

// OSDWidget - the property-stack page of a selected OSD text item: it stacks
// the panes it is handed (the OSD position pane, then the OSD text pane) above
// a stretch.

#include <QList>
#include <QWidget>

class QLayout;
class QVBoxLayout;

namespace Ui {
class OSDWidget;
}

class OSDWidget : public QWidget
{
    Q_OBJECT
public:
    explicit OSDWidget(QWidget *parent = nullptr);
    ~OSDWidget() override;

    // Replaces the page's panes; earlier panes are detached, not deleted.
    void add_OSDLocker(const QList<QWidget *> &widgets);
    static void deleteAllitemsOfLayout(QLayout *layout);

    QWidget *paneContainer() const;
    QVBoxLayout *paneLayout() const { return layout_widgetScroll; }

private:
    Ui::OSDWidget *ui;
    QVBoxLayout *layout_widgetScroll = nullptr;
};

#endif // OSDWIDGET_H
