// GUI-thread time of one mouse move while one layer among 64 is dragged with snapping on: the
// move goes through the view, the selection tool, snapping against every other layer and the
// canvas, the guide-line topics (drawn by the scene) and the repaint the move causes.
//
//   ./bench_dragsnap [moves]      (QT_QPA_PLATFORM=offscreen works)
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPoint>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "EditBaseItemBorder.h"
#include "EditBaseScene.h"
#include "EditBaseView.h"
#include "EditSingleTextItem.h"
#include "QorGlobal.h"
#include "globalObserver.h"

namespace {

// Stands in for the editing canvas: the scene is live, the guide lines go to the scene.
class CCanvasStandIn : public QObject
{
    Q_OBJECT
public:
    explicit CCanvasStandIn(CEditBaseScene *pScene)
        : m_pScene(pScene)
    {
        globalObserver *pHub = globalObserver::getGlobalObserver();
        pHub->attach("slot_isTakeScene", this, "slot_isTakeScene");
        pHub->attach("slot_verMagneticLine", this, "slot_verMagneticLine");
        pHub->attach("slot_horMagneticLine", this, "slot_horMagneticLine");
    }
    ~CCanvasStandIn() override
    {
        globalObserver *pHub = globalObserver::getGlobalObserver();
        pHub->detach("slot_isTakeScene", this);
        pHub->detach("slot_verMagneticLine", this);
        pHub->detach("slot_horMagneticLine", this);
    }

public slots:
    void slot_isTakeScene(int, bool &bTaken) { bTaken = true; }
    void slot_verMagneticLine(QPoint a, QPoint b, bool bShow) { m_pScene->setVerMagneticLine(a, b, bShow); }
    void slot_horMagneticLine(QPoint a, QPoint b, bool bShow) { m_pScene->setHorMagneticLine(a, b, bShow); }

private:
    CEditBaseScene *m_pScene;
};

double threadCpuMs()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

void send(CEditBaseView &view, QEvent::Type type, const QPointF &pt, Qt::MouseButton b, Qt::MouseButtons bs)
{
    const QPoint vp = view.mapFromScene(pt);
    QMouseEvent e(type, vp, view.viewport()->mapToGlobal(vp), b, bs, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &e);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int nMoves = argc > 1 ? std::max(10, atoi(argv[1])) : 2000;

    g_rtBackCanvas = QRect(0, 0, 1920, 1080);
    g_dWScale = 4.0;
    g_dHScale = 4.0;
    CEditBaseScene scene;
    scene.setSceneID(1);
    scene.m_strSerial = "BENCH";
    QRect rt(0, 0, 480, 270);
    scene.createBackCanvas(rt);
    CCanvasStandIn canvas(&scene);

    // 64 layers on an 8 x 8 grid, 50 x 28 each, 10 and 5 units apart.
    QList<CEditSingleTextItem *> layers;
    for (int i = 0; i < 64; ++i) {
        auto *p = new CEditSingleTextItem(QRect(0, 0, 50, 28), true);
        p->setItemType(MediaType_SingleText);
        p->updateCoordinate();
        scene.addItem(p);
        scene.m_listItems.append(p);
        p->setItemId(i);
        p->setZValue(i + 1);
        p->setItemContent(QString("IN%1@").arg(i % 4 + 1));
        p->setPos(5 + (i % 8) * 60 + 25, 5 + (i / 8) * 33 + 14);
        layers << p;
    }

    CEditBaseView view;
    view.setScene(&scene);
    scene.setView(&view);
    view.setSceneRect(0, 0, 480, 270);
    view.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view.resize(1000, 600);
    view.scale(2, 2);
    view.show();
    app.processEvents();

    // Grab layer 27 by its body and wander over the grid, back and forth.
    CEditSingleTextItem *pDragged = layers.at(27);
    const QPointF grab = pDragged->pos();
    send(view, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    app.processEvents();
    std::vector<double> cpu;
    std::vector<double> wall;
    std::vector<double> handling;
    cpu.reserve(nMoves);
    wall.reserve(nMoves);
    handling.reserve(nMoves);
    QElapsedTimer t;
    for (int i = 0; i < nMoves; ++i) {
        const int k = i % 400;
        const double s = k < 200 ? k : 400 - k; // 0..200..0
        const QPointF pt = grab + QPointF(-150 + s * 1.3, -80 + s * 0.7);
        const double c0 = threadCpuMs();
        t.start();
        send(view, QEvent::MouseMove, pt, Qt::NoButton, Qt::LeftButton);
        handling.push_back(threadCpuMs() - c0);
        app.processEvents(); // the repaint the move asked for
        wall.push_back(t.nsecsElapsed() / 1e6);
        cpu.push_back(threadCpuMs() - c0);
    }
    send(view, QEvent::MouseButtonRelease, grab, Qt::LeftButton, Qt::NoButton);

    std::sort(cpu.begin(), cpu.end());
    std::sort(wall.begin(), wall.end());
    std::sort(handling.begin(), handling.end());
    double dSum = 0, dHandling = 0;
    for (double v : cpu)
        dSum += v;
    for (double v : handling)
        dHandling += v;
    std::printf("drag with snapping, 64 layers, %d moves (move handling + repaint)\n", nMoves);
    std::printf("GUI-thread CPU per move: mean %.3f ms, median %.3f ms, p99 %.3f ms, max %.3f ms\n", dSum / nMoves,
                cpu[nMoves / 2], cpu[nMoves * 99 / 100], cpu.back());
    std::printf("of which the move itself (tool, snapping, topics): mean %.3f ms, p99 %.3f ms\n",
                dHandling / nMoves, handling[nMoves * 99 / 100]);
    std::printf("wall time per move:      median %.3f ms, p99 %.3f ms\n", wall[nMoves / 2], wall[nMoves * 99 / 100]);
    return 0;
}

#include "bench_dragsnap.moc"
