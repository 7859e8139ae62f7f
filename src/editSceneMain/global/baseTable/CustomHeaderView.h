#ifndef CUSTOMHEADERVIEW_H
#define CUSTOMHEADERVIEW_H

#include <QHeaderView>
#include <QMap>

// Header that hosts one widget per section, laid over the section.
class CustomHeaderView : public QHeaderView
{
    Q_OBJECT
public:
    explicit CustomHeaderView(Qt::Orientation orientation, QWidget *parent = nullptr);

    void setHeaderViewWidget(QWidget *widget, int logicalIndex);
    // Hides the section together with its hosted widget.
    void setSectionHidden(int logicalIndex, bool hide);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    QMap<int, QWidget *> headerViewWidgetMap;
};

#endif // CUSTOMHEADERVIEW_H
