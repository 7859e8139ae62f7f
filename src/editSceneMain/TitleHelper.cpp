#include "TitleHelper.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHoverEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

CTitleHelper::CTitleHelper(QWidget *window, QObject *parent)
    : QObject(parent)
    , m_winPtr(window)
    , m_titleHeight(-1)
    , m_movePress(false)
    , m_LeftBtnPress(false)
    , m_winBorderWidth(2)
    , m_border_type(E_Border_NULL)
{
    if (m_winPtr) {
        m_winPtr->setWindowFlags(Qt::FramelessWindowHint);
        m_winPtr->installEventFilter(this);
        m_winPtr->setMouseTracking(true);
        // Hover moves tell the zone under the cursor; the window must get them.
        m_winPtr->setAttribute(Qt::WA_Hover, true);
    }
}

void CTitleHelper::setTitleHeight(int nHeight)
{
    m_titleHeight = nHeight;
}

void CTitleHelper::setBorderWidth(int nWidth)
{
    m_winBorderWidth = nWidth;
}

bool CTitleHelper::eventFilter(QObject *watched, QEvent *event)
{
    if (m_winPtr && watched == m_winPtr) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            handlePress(static_cast<QMouseEvent *>(event));
            break;
        case QEvent::MouseButtonRelease:
            m_movePress = false;
            m_LeftBtnPress = false;
            break;
        case QEvent::Leave:
            if (!m_LeftBtnPress)
                m_winPtr->unsetCursor();
            break;
        case QEvent::MouseMove:
            handleMove(static_cast<QMouseEvent *>(event));
            break;
        case QEvent::HoverMove:
            if (!m_LeftBtnPress) {
                const int nZone = findZone(static_cast<QHoverEvent *>(event)->pos());
                if (nZone != E_Border_NULL)
                    m_border_type = nZone;
            }
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void CTitleHelper::handlePress(QMouseEvent *event)
{
    if (m_LeftBtnPress || event->button() != Qt::LeftButton)
        return;
    m_LeftBtnPress = true;
    m_mouseBeginPos = event->globalPos();
    m_winBeginPos = m_winPtr->pos();
    m_winBeginRect = m_winPtr->frameGeometry();

    const int b = m_winBorderWidth;
    const int x0 = m_winBeginRect.x();
    const int y0 = m_winBeginRect.y();
    const int w = m_winBeginRect.width();
    const int mx = m_mouseBeginPos.x();
    const int my = m_mouseBeginPos.y();
    if (y0 + b < my && my <= y0 + m_titleHeight && x0 + b < mx && mx < x0 + w - b) {
        m_movePress = true;
        // The window's size bounds, clipped to the screen's available area: a maximised
        // window fits a small screen.
        QSize szMin(1200, 800);
        QSize szMax(1600, 1000);
        if (const QScreen *pScreen = m_winPtr->screen()) {
            const QSize szRoom = pScreen->availableGeometry().size();
            szMin = szMin.boundedTo(szRoom);
            szMax = szMax.boundedTo(szRoom);
        }
        m_winPtr->setMinimumSize(szMin);
        m_winPtr->setMaximumSize(szMax);
        // A window the new minimum made larger is moved back within the area.
        if (const QScreen *pScreen = m_winPtr->screen(); pScreen && !m_winPtr->isMaximized()) {
            const QRect rtRoom = pScreen->availableGeometry();
            QRect rt = m_winPtr->frameGeometry();
            if (!rtRoom.contains(rt) && rtRoom.contains(m_winBeginRect)) {
                rt.moveRight(qMin(rt.right(), rtRoom.right()));
                rt.moveBottom(qMin(rt.bottom(), rtRoom.bottom()));
                m_winPtr->move(m_winPtr->pos() + rt.topLeft() - m_winPtr->frameGeometry().topLeft());
                m_winBeginPos = m_winPtr->pos();
            }
        }
        if (startSystemGesture(true)) {
            // The window system runs the move and eats the rest of the drag.
            m_movePress = false;
            m_LeftBtnPress = false;
        }
    } else if (m_border_type > E_Border_NORMAL && startSystemGesture(false)) {
        m_LeftBtnPress = false;
    }
}

void CTitleHelper::handleMove(QMouseEvent *event)
{
    if (m_movePress) {
        if (m_winPtr->isMaximized())
            m_winPtr->showNormal();
        m_winPtr->move(m_winBeginPos + (event->globalPos() - m_mouseBeginPos));
        return;
    }
    if (m_LeftBtnPress) {
        if (m_border_type > E_Border_NORMAL) {
            const QPoint travel = event->globalPos() - m_mouseBeginPos;
            resizeBy(travel.x(), travel.y());
        }
        return;
    }
    // No button held: find the zone as on a hover move, so that the borders
    // can be grabbed even where hover events do not arrive.
    const int nZone = findZone(m_winPtr->mapFromGlobal(event->globalPos()));
    if (nZone != E_Border_NULL)
        m_border_type = nZone;
}

int CTitleHelper::findZone(const QPoint &pos)
{
    const int x = pos.x();
    const int y = pos.y();
    const int w = m_winPtr->width();
    const int h = m_winPtr->height();
    const int b = m_winBorderWidth;

    if (b < x && x < w - b && b < y && y < h - b) {
        if (m_LeftBtnPress)
            return E_Border_NULL;
        m_winPtr->unsetCursor();
        return E_Border_NORMAL;
    }
    int nZone = E_Border_NULL;
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (b < x && x < w - b) {
        if (y <= b) {
            nZone = E_Border_TOP;
            shape = Qt::SizeVerCursor;
        } else if (y >= h - b) {
            nZone = E_Border_BOTTOM;
            shape = Qt::SizeVerCursor;
        }
    } else if (x >= w - b) {
        if (y <= b) {
            nZone = E_Border_RIGHT_TOP;
            shape = Qt::SizeBDiagCursor;
        } else if (y < h - b) {
            nZone = E_Border_RIGHT;
            shape = Qt::SizeHorCursor;
        } else {
            nZone = E_Border_RIGHT_BOTTOM;
            shape = Qt::SizeFDiagCursor;
        }
    } else if (x <= b) {
        if (y <= b) {
            nZone = E_Border_LEFT_TOP;
            shape = Qt::SizeFDiagCursor;
        } else if (y < h - b) {
            nZone = E_Border_LEFT;
            shape = Qt::SizeHorCursor;
        } else {
            nZone = E_Border_LEFT_BOTTOM;
            shape = Qt::SizeBDiagCursor;
        }
    }
    if (nZone != E_Border_NULL)
        m_winPtr->setCursor(shape);
    return nZone;
}

void CTitleHelper::resizeBy(int dx, int dy)
{
    const int x0 = m_winBeginRect.x();
    const int y0 = m_winBeginRect.y();
    const int W = m_winBeginRect.width();
    const int H = m_winBeginRect.height();
    QRect rt;
    switch (m_border_type) {
    case E_Border_LEFT:
        rt = QRect(x0 + dx, y0, W - dx, H);
        break;
    case E_Border_RIGHT:
        rt = QRect(x0, y0, W + dx, H);
        break;
    case E_Border_TOP:
        rt = QRect(x0, y0 + dy, W, H - dy);
        break;
    case E_Border_BOTTOM:
        rt = QRect(x0, y0, W, H + dy);
        break;
    case E_Border_LEFT_TOP:
        rt = QRect(x0 + dx, y0 + dy, W - dx, H - dy);
        break;
    case E_Border_RIGHT_TOP:
        rt = QRect(x0, y0 + dy, W + dx, H - dy);
        break;
    case E_Border_RIGHT_BOTTOM:
        rt = QRect(x0, y0, W + dx, H + dy);
        break;
    case E_Border_LEFT_BOTTOM:
        rt = QRect(x0 + dx, y0, W - dx, H + dy);
        break;
    default:
        return;
    }
    if (rt.width() < 1 || rt.height() < 1)
        return;
    m_winPtr->setGeometry(rt);
}

bool CTitleHelper::startSystemGesture(bool bMove)
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return false;
    QWindow *pWindow = m_winPtr->windowHandle();
    if (!pWindow)
        return false;
    if (bMove)
        return pWindow->startSystemMove();
    Qt::Edges edges;
    switch (m_border_type) {
    case E_Border_LEFT: edges = Qt::LeftEdge; break;
    case E_Border_RIGHT: edges = Qt::RightEdge; break;
    case E_Border_TOP: edges = Qt::TopEdge; break;
    case E_Border_BOTTOM: edges = Qt::BottomEdge; break;
    case E_Border_LEFT_TOP: edges = Qt::LeftEdge | Qt::TopEdge; break;
    case E_Border_RIGHT_TOP: edges = Qt::RightEdge | Qt::TopEdge; break;
    case E_Border_RIGHT_BOTTOM: edges = Qt::RightEdge | Qt::BottomEdge; break;
    case E_Border_LEFT_BOTTOM: edges = Qt::LeftEdge | Qt::BottomEdge; break;
    default: return false;
    }
    return pWindow->startSystemResize(edges);
}
