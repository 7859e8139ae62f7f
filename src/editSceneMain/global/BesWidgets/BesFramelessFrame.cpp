#include "BesFramelessFrame.h"

#include <QMouseEvent>
#include <QWidget>

BesFramelessFrame::BesFramelessFrame(QWidget *pWindow, CrossCorners eCrossCorners)
    : isLeftPressDown(false)
    , dir(NONE)
    , border(8)
    , m_pWindow(pWindow)
    , m_eCrossCorners(eCrossCorners)
{
}

int BesFramelessFrame::getFrameBorder() const
{
    return border;
}

void BesFramelessFrame::region(const QPoint &cursorGlobalPoint)
{
    const QRect rect = m_pWindow->rect();
    const QPoint tl = m_pWindow->mapToGlobal(rect.topLeft());
    const QPoint rb = m_pWindow->mapToGlobal(rect.bottomRight());
    const int x = cursorGlobalPoint.x();
    const int y = cursorGlobalPoint.y();
    const int b = border;

    const bool bLeft = tl.x() <= x && x <= tl.x() + b;
    const bool bRight = rb.x() - b <= x && x <= rb.x();
    const bool bTop = tl.y() <= y && y <= tl.y() + b;
    const bool bBottom = rb.y() - b <= y && y <= rb.y();

    if (bLeft && bTop) {
        dir = LEFTTOP;
        m_pWindow->setCursor(Qt::SizeFDiagCursor);
    } else if (bRight && bBottom) {
        dir = RIGHTBOTTOM;
        m_pWindow->setCursor(Qt::SizeFDiagCursor);
    } else if (bLeft && bBottom) {
        dir = LEFTBOTTOM;
        m_pWindow->setCursor(Qt::SizeBDiagCursor);
    } else if (bRight && bTop) {
        dir = RIGHTTOP;
        m_pWindow->setCursor(Qt::SizeBDiagCursor);
    } else if (bLeft) {
        dir = LEFT;
        m_pWindow->setCursor(Qt::SizeHorCursor);
    } else if (bRight) {
        dir = RIGHT;
        m_pWindow->setCursor(Qt::SizeHorCursor);
    } else if (bTop) {
        dir = UP;
        m_pWindow->setCursor(Qt::SizeVerCursor);
    } else if (bBottom) {
        dir = DOWN;
        m_pWindow->setCursor(Qt::SizeVerCursor);
    } else {
        dir = NONE;
        m_pWindow->setCursor(Qt::ArrowCursor);
    }
}

bool BesFramelessFrame::framePress(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    isLeftPressDown = true;
    if (dir != NONE)
        m_pWindow->grabMouse();
    else
        dragPosition = event->globalPos() - m_pWindow->frameGeometry().topLeft();
    return true;
}

void BesFramelessFrame::frameRelease(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        isLeftPressDown = false;
        if (dir != NONE) {
            m_pWindow->releaseMouse();
            m_pWindow->setCursor(Qt::ArrowCursor);
        }
    }
}

void BesFramelessFrame::frameMove(QMouseEvent *event)
{
    const QPoint gloPoint = event->globalPos();
    const QRect rect = m_pWindow->rect();
    const QPoint tl = m_pWindow->mapToGlobal(rect.topLeft());
    const QPoint rb = m_pWindow->mapToGlobal(rect.bottomRight());

    if (!isLeftPressDown) {
        region(gloPoint);
        return;
    }
    if (dir == NONE) {
        m_pWindow->move(event->globalPos() - dragPosition);
        event->accept();
        return;
    }

    QRect rMove(tl, rb);
    const int x = gloPoint.x();
    const int y = gloPoint.y();
    const int nMinWidth = m_pWindow->minimumWidth();
    const int nMinHeight = m_pWindow->minimumHeight();
    const bool bKeepCrossMinimum = m_eCrossCorners == CrossCornersKeepMinimum;
    auto moveUp = [&]() {
        if (rb.y() - y > nMinHeight)
            rMove.setY(y);
    };
    auto moveLeft = [&]() {
        if (rb.x() - x > nMinWidth)
            rMove.setX(x);
    };
    switch (dir) {
    case UP:
        moveUp();
        break;
    case DOWN:
        rMove.setHeight(y - tl.y());
        break;
    case LEFT:
        moveLeft();
        break;
    case RIGHT:
        rMove.setWidth(x - tl.x());
        break;
    case LEFTTOP:
        moveLeft();
        moveUp();
        break;
    case LEFTBOTTOM:
        if (!bKeepCrossMinimum || rb.x() - x >= nMinWidth)
            rMove.setX(x);
        rMove.setHeight(y - tl.y());
        break;
    case RIGHTBOTTOM:
        rMove.setWidth(x - tl.x());
        rMove.setHeight(y - tl.y());
        break;
    case RIGHTTOP:
        rMove.setWidth(x - tl.x());
        if (bKeepCrossMinimum)
            moveUp();
        else
            rMove.setY(y);
        break;
    case NONE:
        break;
    }
    m_pWindow->setGeometry(rMove);
}
