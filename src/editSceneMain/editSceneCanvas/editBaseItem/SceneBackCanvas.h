#ifndef SCENEBACKCANVAS_H
#define SCENEBACKCANVAS_H

// The background of one device scene: a dark rectangle of the LED screen's size (scene units)
// behind every layer, framed in grey; split down the middle with an "Output-1"/"Output-2" label
// over each half when the screen is driven by two outputs (canvas count 1). It keeps the type of
// a rectangle item (3), is neither movable nor selectable, and lies at z -100.

#include <QGraphicsRectItem>
#include <QObject>
#include <QString>

class CSceneBackCanvas : public QGraphicsRectItem, public QObject
{
public:
    CSceneBackCanvas(const QRect &rect, QGraphicsItem *parent = nullptr);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    QRectF rect() const { return m_localRect; }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    void setWidth(int w);
    void setHeight(int h);
    void setHz(int nHz) { m_nHz = nHz; }
    void setCanvasCount(int nCount);
    int getWidth() const { return m_nScreenWidth; }
    int getHeight() const { return m_nScreenHeight; }
    int getHz() const { return m_nHz; }
    int getNFactScreenWidth() const { return m_nFactScreenWidth; }
    int getCanvasCount() const { return m_nCanvasCount; }
    void setDeviceSerial(const QString &strSerial) { m_strSerial = strSerial; }
    QString getDeviceSerial() const { return m_strSerial; }

    // The two output labels, as painted: "Output-n\r\n<half width>x<height>" in device pixels.
    QString outputLabel(int nOutput) const;

    QRectF m_localRect;
    int m_nFactScreenWidth = 0;
    int m_nHz = 60;
    int m_nScreenWidth = 0;
    int m_nScreenHeight = 0;
    QString m_strSerial;
    int m_nCanvasCount = 0;
};

#endif // SCENEBACKCANVAS_H
