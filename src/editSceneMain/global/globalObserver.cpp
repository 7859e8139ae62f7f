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
    for (const RelationList &list : qAsConst(m_oRelationList)) {
        for (const auto &rel : list)
            rel->bAttached = false;
    }
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

// Drops the subscriptions of one topic whose receiver no longer exists.
// Called with m_mutex held.
void globalObserver::pruneLocked(RelationList &list)
{
    for (int i = list.size() - 1; i >= 0; --i) {
        if (list.at(i)->reciver.isNull()) {
            list.at(i)->bAttached = false;
            list.removeAt(i);
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
    RelationList &list = m_oRelationList[type];
    // Pruned whenever the list has doubled, so that a thousand receivers
    // attaching one topic cost a thousand steps, not a million.
    if ((list.size() & (list.size() - 1)) == 0)
        pruneLocked(list);
    list.append(rel);
}

void globalObserver::detach(const QString &type, const QObject *reciver)
{
    if (!reciver)
        return;
    QMutexLocker locker(&m_mutex);
    const auto it = m_oRelationList.find(type);
    if (it == m_oRelationList.end())
        return;
    RelationList &list = it.value();
    // Dead receivers met on the way to the oldest match are dropped too; the
    // rest of the list is left for the topic's next notification.
    for (int i = 0; i < list.size();) {
        const auto &rel = list.at(i);
        QObject *pAlive = rel->reciver.data();
        if (!pAlive) {
            rel->bAttached = false;
            list.removeAt(i);
            continue;
        }
        if (pAlive == reciver) {
            rel->bAttached = false;
            list.removeAt(i);
            break;
        }
        ++i;
    }
    if (list.isEmpty())
        m_oRelationList.erase(it);
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
    RelationList targets;
    {
        QMutexLocker locker(&m_mutex);
        const auto it = m_oRelationList.find(type);
        if (it == m_oRelationList.end())
            return;
        pruneLocked(it.value());
        targets = it.value();
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
    auto countLive = [](const RelationList &list) {
        int count = 0;
        for (const auto &rel : list) {
            if (!rel->reciver.isNull())
                ++count;
        }
        return count;
    };
    if (!type.isEmpty())
        return countLive(m_oRelationList.value(type));
    int count = 0;
    for (const RelationList &list : m_oRelationList)
        count += countLive(list);
    return count;
}
