#ifndef EDITBASEPROXYWIDGET_H
#define EDITBASEPROXYWIDGET_H

// The abstract base of canvas items that host a widget while behaving like the other canvas
// items: the same attributes, eight handles, selection frame, position and rotation, JSON and
// XML forms. A concrete widget item provides setItemFile, setVideoMute and setVideoVolume.
// While selected a separate frame item (a top-level scene item) is drawn around it; the item
// removes and deletes that frame when it goes.

#include <QGraphicsPathItem>
#include <QGraphicsProxyWidget>

#include "EditBaseItem.h"

class CEditBaseProxyWidget : public CEditAbstractItem<QGraphicsProxyWidget>
{
    Q_OBJECT
public:
    enum { Type = EditItemType_Proxy };

    explicit CEditBaseProxyWidget(QGraphicsItem *parent = nullptr);
    ~CEditBaseProxyWidget() override;

    int type() const override { return Type; }
    virtual QPixmap image();
    virtual void setItemFile(const QString &strFile) = 0;
    virtual void setFullScreen(bool bFull);
    virtual void updateItemData(CEditBaseProxyWidget *pOther);
    virtual void setVideoMute(bool bMute) = 0;
    virtual void setVideoVolume(double dVolume) = 0;
    virtual QJsonObject saveToJson();
    virtual bool loadFromJson(const Json &json);
    virtual void setParentData(CEditBaseProxyWidget &other);
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;
    void updatehandles() override;
    void contextMenuEvent(QGraphicsSceneContextMenuEvent *event) override;

    void initParam();
    void setItemState(EditSelectionHandleState state);
    void setItemBorder(QGraphicsScene *pScene, bool bShow);
    void moveItem(const QPointF &pos);
    void setItemRotation(qreal dAngle);
    void setChange(bool bChanged);
    bool writeBaseAttributes(QXmlStreamWriter *pWriter);
    QGraphicsPathItem *frameItem() const { return m_pProxyWidgetFrame; }

    qreal m_dVolume = 0.0;
    bool m_bMute = false;
    QGraphicsPathItem *m_pProxyWidgetFrame = nullptr;
    qreal m_dAngleRotate = 0.0;

signals:
    void selectedChange(QGraphicsItem *item);
};

#endif // EDITBASEPROXYWIDGET_H
