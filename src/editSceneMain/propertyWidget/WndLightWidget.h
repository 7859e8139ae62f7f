#ifndef WNDLIGHTWIDGET_H
#define WNDLIGHTWIDGET_H

// CWndLightWidget - a brightness, contrast and start-time page; it keeps the
// item it is given and changes nothing.

#include <QWidget>

class QGraphicsItem;

namespace Ui {
class wndLightWidget;
}

class CWndLightWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CWndLightWidget(QWidget *parent = nullptr);
    ~CWndLightWidget() override;

    void setCurrentItem(QGraphicsItem *pItem) { m_pItem = pItem; }

private:
    QGraphicsItem *m_pItem = nullptr;
    Ui::wndLightWidget *ui;
};

#endif // WNDLIGHTWIDGET_H
