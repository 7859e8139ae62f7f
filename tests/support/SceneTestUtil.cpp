#include "SceneTestUtil.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QTimer>

#include "DeviceFrame.h"
#include "DeviceItem.h"
#include "EditBaseScene.h"
#include "EditSingleTextItem.h"
#include "EditBaseView.h"
#include "GbkCodec.h"
#include "QorGlobal.h"
#include "globalObserver.h"

namespace {

void put16(QByteArray &out, int v)
{
    out.append(char((v >> 8) & 0xFF));
    out.append(char(v & 0xFF));
}

const QStringList kTopics = {"slot_propertyDataChange", "slot_updateItemPos", "slot_showItemMenu", "slot_selectToolBar",
                             "slot_itemPress", "slot_setDeviceCmd", "slot_getMainSigInputSource"};

} // namespace

namespace SceneTest {

bool dropOn(CEditBaseView *pView, const QByteArray &data, const QPoint &pt)
{
    QMimeData mime;
    mime.setData(CDeviceItem::DRAG_MIME_TYPE, data);
    QDragEnterEvent enter(pt, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pView->viewport(), &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(pt, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pView->viewport(), &drop);
    return true;
}

void dragInView(CEditBaseView *pView, const QPoint &ptFrom, const QPoint &ptTo)
{
    const struct { QEvent::Type type; QPoint pt; Qt::MouseButtons buttons; } steps[] = {
        {QEvent::MouseButtonPress, ptFrom, Qt::LeftButton},
        {QEvent::MouseMove, (ptFrom + ptTo) / 2, Qt::LeftButton},
        {QEvent::MouseMove, ptTo, Qt::LeftButton},
        {QEvent::MouseButtonRelease, ptTo, Qt::NoButton}};
    for (const auto &e : steps) {
        QMouseEvent ev(e.type, e.pt, pView->viewport()->mapToGlobal(e.pt), Qt::LeftButton, e.buttons, Qt::NoModifier);
        QApplication::sendEvent(pView->viewport(), &ev);
    }
}

void dragAwayAndBack(CEditBaseView *pView, const QPoint &ptFrom, const QPoint &ptAway)
{
    const auto send = [pView](QEvent::Type type, const QPoint &pt, Qt::MouseButtons buttons) {
        QMouseEvent ev(type, pt, pView->viewport()->mapToGlobal(pt), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(pView->viewport(), &ev);
    };
    send(QEvent::MouseButtonPress, ptFrom, Qt::LeftButton);
    // Away in steps, as a hand goes: a layer caught by an edge at the start is let go on the way.
    for (int i = 1; i <= 4; ++i)
        send(QEvent::MouseMove, ptFrom + (ptAway - ptFrom) * i / 4, Qt::LeftButton);
    send(QEvent::MouseMove, ptFrom, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, ptFrom, Qt::NoButton);
}

QStringList layerTexts(CEditBaseScene *pScene)
{
    QStringList list;
    for (CEditSingleTextItem *p : pScene->layerItems()) {
        int x, y, w, h;
        p->getItemPos(x, y);
        p->getItemSize(w, h);
        list << QString("L%1 %2,%3 %4x%5 t%6").arg(p->getItemId()).arg(x).arg(y).arg(w).arg(h).arg(p->m_nTransNum);
    }
    list.sort();
    return list;
}

QByteArray sceneReply(const CTarnSceneRecord &s)
{
    QByteArray p;
    p.append(char(s.nId));
    p.append(char(s.nSceneState));
    p.append(g_toGbkField(s.strName, 12));
    put16(p, s.nWidth);
    put16(p, s.nHeight);
    p.append(char(s.nHz));
    p.append(char(s.nCanvasCount));
    p.append(char(s.nLayerCount));
    p.append(char(s.nLayerUse));
    p.append(char(s.nCanvasType));
    p.append(char(s.nLight));
    p.append(char(s.nAudio));
    p.append(char(s.nMainSig));
    p.append(QByteArray(13, '\0'));
    return CDeviceFrame::buildReply(35, 1, 0, p);
}

QByteArray layerReply(int nSceneId, const QList<CTarnLayerRecord> &layers)
{
    QByteArray p;
    p.append(char(nSceneId));
    for (const CTarnLayerRecord &l : layers) {
        p.append(char(l.nIndex));
        p.append(char(l.nState));
        p.append(char(l.nLevel));
        p.append(char(l.nMainSig));
        p.append(char(l.nBackupSig));
        p.append(char(l.nTrans));
        put16(p, l.nX);
        put16(p, l.nY);
        put16(p, l.nWidth);
        put16(p, l.nHeight);
        p.append(char(l.nCut));
        put16(p, l.nCutX);
        put16(p, l.nCutY);
        put16(p, l.nCutWidth);
        put16(p, l.nCutHeight);
    }
    return CDeviceFrame::buildReply(35, 1, 80, p);
}

CTarnLayerRecord layer(int nIndex, int x, int y, int w, int h, int nLevel, int nSource)
{
    CTarnLayerRecord l;
    l.nIndex = nIndex;
    l.nState = 1;
    l.nLevel = nLevel;
    l.nMainSig = nSource;
    l.nBackupSig = nSource + 1;
    l.nTrans = 255;
    l.nX = x;
    l.nY = y;
    l.nWidth = w;
    l.nHeight = h;
    return l;
}

CTarnSceneRecord scene(int nId, const QString &strName, int nLayerUse)
{
    CTarnSceneRecord s;
    s.nId = nId;
    s.nSceneState = 1;
    s.strName = strName;
    s.nWidth = 1920;
    s.nHeight = 1080;
    s.nHz = 60;
    s.nLayerCount = 16;
    s.nLayerUse = nLayerUse;
    return s;
}

void useDeviceCanvas(int nWidth, int nHeight)
{
    g_nWidth = 480;
    g_nHeight = 320;
    g_setDefaultDesktop(nWidth, nHeight);
}

void whenNextWaitOpens(const std::function<void()> &fnWhileOpen, const QString &strAnswer, bool &bSeen)
{
    auto *pPoll = new QTimer(qApp);
    QObject::connect(pPoll, &QTimer::timeout, pPoll, [=, &bSeen]() {
        QPointer<QWidget> pWait = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                                     : QApplication::activeModalWidget();
        if (!pWait)
            return;
        pPoll->deleteLater();
        bSeen = true;
        fnWhileOpen();
        QTimer::singleShot(100, pWait, [pWait, strAnswer]() {
            if (auto *pMenu = qobject_cast<QMenu *>(pWait.data())) {
                for (QAction *pAction : pMenu->actions())
                    if (pAction->text() == strAnswer)
                        pMenu->setActiveAction(pAction);
                QKeyEvent key(QEvent::KeyPress, pMenu->activeAction() ? Qt::Key_Return : Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(pMenu, &key);
            } else if (strAnswer.isEmpty()) {
                return;
            } else if (auto *pButton = pWait->findChild<QAbstractButton *>(strAnswer)) {
                pButton->click();
            } else if (auto *pDialog = qobject_cast<QDialog *>(pWait.data())) {
                pDialog->reject(); // nothing to answer with: the test goes on and fails
            }
        });
    });
    pPoll->start(10);
    QTimer::singleShot(5000, pPoll, &QObject::deleteLater); // no wait came: later tests are left alone
}

} // namespace SceneTest

CSceneSpy::CSceneSpy(QObject *parent)
    : QObject(parent)
{
    for (const QString &strTopic : kTopics)
        globalObserver::getGlobalObserver()->attach(strTopic, this, strTopic.toLatin1().constData());
}

CSceneSpy::~CSceneSpy()
{
    for (const QString &strTopic : kTopics)
        globalObserver::getGlobalObserver()->detach(strTopic, this);
}

QList<QVariantList> CSceneSpy::records(const QString &strTopic) const
{
    QList<QVariantList> list;
    for (const auto &r : m_listRecord)
        if (r.first == strTopic)
            list.append(r.second);
    return list;
}

QVariantList CSceneSpy::last(const QString &strTopic) const
{
    const QList<QVariantList> list = records(strTopic);
    return list.isEmpty() ? QVariantList() : list.last();
}

QList<QByteArray> CSceneSpy::payloads(const QString &strCmd, int nSub) const
{
    QList<QByteArray> list;
    for (const QVariantList &r : records("slot_setDeviceCmd"))
        if (r.at(1).toString() == strCmd && r.at(4).toInt() == nSub)
            list << r.at(2).toByteArray();
    return list;
}

void CSceneSpy::slot_propertyDataChange(QGraphicsItem *pItem)
{
    m_listRecord.append({"slot_propertyDataChange", {QVariant::fromValue(quintptr(pItem))}});
}

void CSceneSpy::slot_updateItemPos(bool bPos)
{
    m_listRecord.append({"slot_updateItemPos", {bPos}});
}

void CSceneSpy::slot_showItemMenu(QPoint pt)
{
    m_listRecord.append({"slot_showItemMenu", {pt}});
}

void CSceneSpy::slot_selectToolBar(int nTool)
{
    m_listRecord.append({"slot_selectToolBar", {nTool}});
}

void CSceneSpy::slot_itemPress(int nId)
{
    m_listRecord.append({"slot_itemPress", {nId}});
}

void CSceneSpy::slot_setDeviceCmd(QString strSerial, QString strCmd, QByteArray &data, int nReadOrWrite, int nSub)
{
    m_listRecord.append({"slot_setDeviceCmd", {strSerial, strCmd, data, nReadOrWrite, nSub}});
}

void CSceneSpy::slot_getMainSigInputSource(int nMainSig, QString &retText, QString strSerial)
{
    m_listRecord.append({"slot_getMainSigInputSource", {nMainSig, strSerial}});
    retText = m_strCaption;
}
