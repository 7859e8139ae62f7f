#include "EditBaseItemBorder.h"

#include <QGraphicsSceneMouseEvent>

#include "EditBaseScene.h"
#include "EditBaseView.h"

SelectMode g_selectMode = none;
int g_nDragHandle = 0;

QPointF CEditBaseItemBorder::m_down;
QPointF CEditBaseItemBorder::m_sLast;
int CEditBaseItemBorder::m_nMagneticX = 0;
int CEditBaseItemBorder::m_nMagneticY = 0;
BorderType CEditBaseItemBorder::m_sBorderType = selection;

void setCursor(CEditBaseScene *pScene, const QCursor &cursor)
{
    if (pScene && pScene->view())
        pScene->view()->setCursor(cursor);
}

QList<CEditBaseItemBorder *> &CEditBaseItemBorder::tools()
{
    // Made on first use, so a tool defined in any source file finds it ready.
    static QList<CEditBaseItemBorder *> s_tools;
    return s_tools;
}

CEditBaseItemBorder::CEditBaseItemBorder(BorderType type)
    : m_BorderType(type)
{
    tools().append(this);
}

CEditBaseItemBorder::~CEditBaseItemBorder()
{
    tools().removeAll(this);
}

CEditBaseItemBorder *CEditBaseItemBorder::findTool(BorderType type)
{
    for (CEditBaseItemBorder *pTool : tools())
        if (pTool->m_BorderType == type)
            return pTool;
    return nullptr;
}

void CEditBaseItemBorder::mousePressEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *)
{
    m_down = event->scenePos();
    m_sLast = event->scenePos();
    m_nMagneticX = int(event->scenePos().x());
    m_nMagneticY = int(event->scenePos().y());
}

void CEditBaseItemBorder::mouseMoveEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *)
{
    m_sLast = event->scenePos();
}

void CEditBaseItemBorder::mouseReleaseEvent(QGraphicsSceneMouseEvent *event, CEditBaseScene *pScene)
{
    if (event->scenePos() == m_down)
        m_sBorderType = selection;
    setCursor(pScene, Qt::ArrowCursor);
}
