#include "SceneBackCanvas.h"

#include <QFontMetrics>
#include <QPainter>

#include "QorGlobal.h"

CSceneBackCanvas::CSceneBackCanvas(const QRect &rect, QGraphicsItem *parent)
    : QGraphicsRectItem(parent)
    , QObject(nullptr)
    , m_localRect(0, 0, rect.width(), rect.height())
    , m_nScreenWidth(rect.width())
    , m_nScreenHeight(rect.height())
{
    setRect(m_localRect);
    setZValue(-100);
}

QRectF CSceneBackCanvas::boundingRect() const
{
    // The fill lies one unit right and down of the frame.
    return m_localRect.adjusted(-1, -1, 2, 2);
}

QPainterPath CSceneBackCanvas::shape() const
{
    QPainterPath path;
    path.addRect(m_localRect);
    return path;
}

void CSceneBackCanvas::setWidth(int w)
{
    prepareGeometryChange();
    m_localRect.setWidth(w);
    m_nScreenWidth = w;
    setRect(m_localRect);
}

void CSceneBackCanvas::setHeight(int h)
{
    prepareGeometryChange();
    m_localRect.setHeight(h);
    m_nScreenHeight = h;
    setRect(m_localRect);
}

void CSceneBackCanvas::setCanvasCount(int nCount)
{
    m_nCanvasCount = nCount;
    update();
}

QString CSceneBackCanvas::outputLabel(int nOutput) const
{
    const int W = int(m_nScreenWidth * g_dWScale);
    const int H = int(m_nScreenHeight * g_dHScale);
    return QString("Output-%1\r\n%2x%3").arg(nOutput).arg(W / 2, 0, 10, QChar(' ')).arg(H, 0, 10, QChar(' '));
}

void CSceneBackCanvas::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->fillRect(m_localRect.translated(1, 1), QBrush(QColor(45, 45, 45)));
    const QPen pen(QBrush(QColor(122, 122, 122)), 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(m_localRect);
    const QFont font(QString::fromUtf8("宋体"), 13);
    painter->setFont(font);
    const QFontMetrics fm(font);
    if (m_nCanvasCount != 1)
        return;
    const QRectF r = m_localRect;
    painter->drawLine(QPointF(r.width() / 2, 0), QPointF(r.width() / 2, r.height()));
    for (int n = 1; n <= 2; ++n) {
        const QString strText = outputLabel(n);
        const QRect b = fm.boundingRect(strText);
        int x = int((r.width() / 2 - b.width()) / 2);
        if (n == 2)
            x = int((r.width() / 2 - b.width()) / 2 + r.width() / 2);
        const int y = int((r.height() - 2 * b.height()) / 2);
        painter->drawText(QRect(x, y, b.width(), int(r.height())), Qt::AlignHCenter, strText);
    }
}
