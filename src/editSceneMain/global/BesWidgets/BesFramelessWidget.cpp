#include "BesFramelessWidget.h"

#include <QMouseEvent>

#include "BesScaleUtil.h"

BesFramelessWidget::BesFramelessWidget(QWidget *parent)
    : BesShadowWidget(parent)
    , isLeftPressDown(false)
    , dir(NONE)
    , border(8)
{
    SetFrameBorder(8);
    setMinimumSize(BesScaleUtil::scaled(1224), BesScaleUtil::scaled(800));
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint
                   | Qt::MaximizeUsingFullscreenGeometryHint);
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
}

void BesFramelessWidget::SetFrameBorder(int nBorder)
{
    border = nBorder;
    SetShadowBorder(nBorder);
}

int BesFramelessWidget::getFrameBorder() const
{
    return border;
}

void BesFramelessWidget::region(const QPoint &cursorGlobalPoint)
{
    const QRect rect = this->rect();
    const QPoint tl = mapToGlobal(rect.topLeft());
    const QPoint rb = mapToGlobal(rect.bottomRight());
    const int x = cursorGlobalPoint.x();
    const int y = cursorGlobalPoint.y();
    const int b = border;

    const bool bLeft = tl.x() <= x && x <= tl.x() + b;
    const bool bRight = rb.x() - b <= x && x <= rb.x();
    const bool bTop = tl.y() <= y && y <= tl.y() + b;
    const bool bBottom = rb.y() - b <= y && y <= rb.y();

    if (bLeft && bTop) {
        dir = LEFTTOP;
        setCursor(Qt::SizeFDiagCursor);
    } else if (bRight && bBottom) {
        dir = RIGHTBOTTOM;
        setCursor(Qt::SizeFDiagCursor);
    } else if (bLeft && bBottom) {
        dir = LEFTBOTTOM;
        setCursor(Qt::SizeBDiagCursor);
    } else if (bRight && bTop) {
        dir = RIGHTTOP;
        setCursor(Qt::SizeBDiagCursor);
    } else if (bLeft) {
        dir = LEFT;
        setCursor(Qt::SizeHorCursor);
    } else if (bRight) {
        dir = RIGHT;
        setCursor(Qt::SizeHorCursor);
    } else if (bTop) {
        dir = UP;
        setCursor(Qt::SizeVerCursor);
    } else if (bBottom) {
        dir = DOWN;
        setCursor(Qt::SizeVerCursor);
    } else {
        dir = NONE;
        setCursor(Qt::ArrowCursor);
    }
}

void BesFramelessWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        isLeftPressDown = true;
        if (dir != NONE)
            grabMouse();
        else
            dragPosition = event->globalPos() - frameGeometry().topLeft();
    } else {
        BesShadowWidget::mousePressEvent(event);
    }
}

void BesFramelessWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        isLeftPressDown = false;
        if (dir != NONE) {
            releaseMouse();
            setCursor(Qt::ArrowCursor);
        }
    }
}

void BesFramelessWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint gloPoint = event->globalPos();
    const QRect rect = this->rect();
    const QPoint tl = mapToGlobal(rect.topLeft());
    const QPoint rb = mapToGlobal(rect.bottomRight());

    if (!isLeftPressDown) {
        region(gloPoint);
    } else if (dir == NONE) {
        move(event->globalPos() - dragPosition);
        event->accept();
    } else {
        QRect rMove(tl, rb);
        const int x = gloPoint.x();
        const int y = gloPoint.y();
        auto moveUp = [&]() {
            if (rb.y() - y > minimumHeight())
                rMove.setY(y);
        };
        auto moveLeft = [&]() {
            if (rb.x() - x > minimumWidth())
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
            if (rb.x() - x >= minimumWidth())
                rMove.setX(x);
            rMove.setHeight(y - tl.y());
            break;
        case RIGHTBOTTOM:
            rMove.setWidth(x - tl.x());
            rMove.setHeight(y - tl.y());
            break;
        case RIGHTTOP:
            rMove.setWidth(x - tl.x());
            moveUp();
            break;
        case NONE:
            break;
        }
        setGeometry(rMove);
    }
    BesShadowWidget::mouseMoveEvent(event);
}
