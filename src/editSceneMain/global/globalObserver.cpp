#include "globalObserver.h"

#include <QMetaObject>
#include <QMutexLocker>

globalObserver *globalObserver::m_pInst = nullptr;

namespace {
QMutex &instanceMutex()
{
    static QMutex mutex;
    return mutex;
}
}

globalObserver::globalObserver(QObject *parent)
    : QObject(parent)
{
}

globalObserver::~globalObserver()
{
    QMutexLocker locker(&m_mutex);
    for (const auto &rel : qAsConst(m_oRelationList))
        rel->bAttached = false;
    m_oRelationList.clear();
}

globalObserver *globalObserver::getGlobalObserver()
{
    QMutexLocker locker(&instanceMutex());
    if (!m_pInst)
        m_pInst = new globalObserver(nullptr);
    return m_pInst;
}

void globalObserver::release()
{
    QMutexLocker locker(&instanceMutex());
    delete m_pInst;
    m_pInst = nullptr;
}

// Drops subscriptions whose receiver no longer exists. Called with m_mutex held.
void globalObserver::pruneLocked()
{
    for (int i = m_oRelationList.size() - 1; i >= 0; --i) {
        if (m_oRelationList.at(i)->reciver.isNull()) {
            m_oRelationList.at(i)->bAttached = false;
            m_oRelationList.removeAt(i);
        }
    }
}

void globalObserver::attach(const QString &type, QObject *reciver, const char *method)
{
    if (!reciver || !method || !*method)
        return;
    auto rel = std::make_shared<relationData>();
    rel->type = type;
    rel->reciver = reciver;
    rel->method = QByteArray(method);
    QMutexLocker locker(&m_mutex);
    pruneLocked();
    m_oRelationList.append(rel);
}

void globalObserver::detach(const QString &type, const QObject *reciver)
{
    if (!reciver)
        return;
    QMutexLocker locker(&m_mutex);
    for (int i = 0; i < m_oRelationList.size(); ++i) {
        const auto &rel = m_oRelationList.at(i);
        if (rel->reciver.data() == reciver && rel->type == type) {
            rel->bAttached = false;
            m_oRelationList.removeAt(i);
            break;
        }
    }
    pruneLocked();
}

void globalObserver::notify(const QString &type,
                            QGenericArgument val0, QGenericArgument val1,
                            QGenericArgument val2, QGenericArgument val3,
                            QGenericArgument val4, QGenericArgument val5,
                            QGenericArgument val6, QGenericArgument val7,
                            QGenericArgument val8, QGenericArgument val9)
{
    // Collect under the lock, deliver without it: slots may attach, detach and
    // notify freely while a delivery runs.
    QList<std::shared_ptr<relationData>> targets;
    {
        QMutexLocker locker(&m_mutex);
        pruneLocked();
        for (const auto &rel : qAsConst(m_oRelationList)) {
            if (rel->type == type)
                targets.append(rel);
        }
    }

    for (const auto &rel : qAsConst(targets)) {
        QObject *receiver = nullptr;
        {
            QMutexLocker locker(&m_mutex);
            if (!rel->bAttached)
                continue; // detached by an earlier receiver of this delivery
            receiver = rel->reciver.data();
        }
        if (!receiver)
            continue; // destroyed without detaching
        QMetaObject::invokeMethod(receiver, rel->method.constData(), Qt::AutoConnection,
                                  val0, val1, val2, val3, val4,
                                  val5, val6, val7, val8, val9);
    }
}

int globalObserver::subscriptionCount(const QString &type) const
{
    QMutexLocker locker(&m_mutex);
    int count = 0;
    for (const auto &rel : m_oRelationList) {
        if (!rel->reciver.isNull() && (type.isEmpty() || rel->type == type))
            ++count;
    }
    return count;
}
