#ifndef GLOBALOBSERVER_H
#define GLOBALOBSERVER_H

#include <QByteArray>
#include <QGenericArgument>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

// One subscription of the hub: a topic, the receiving object and the name of
// the receiver's slot that gets the topic's notifications.
// The receiver is held weakly, so that a receiver destroyed without detaching
// is skipped (and dropped from the list) instead of being called; the slot
// name is copied, so callers need not keep the text alive.
struct relationData
{
    QString type;
    QPointer<QObject> reciver;
    QByteArray method;
    bool bAttached = true; // cleared (under the hub's lock) when detached
};

// The process-wide observer hub. Receivers attach a topic with one of their
// slot names; a notification of that topic invokes the slot by name, with up to
// ten typed arguments, on every attached receiver in attach order. The argument
// types choose among overloads of the slot; receivers in the notifying thread
// are called at once (so reference arguments carry answers back), receivers in
// other threads get a queued call.
//
// Subscriptions are kept per topic, so that a notification, an attach or a
// detach costs the same however many subscriptions the other topics hold (a
// thousand devices subscribe a few topics each).
class globalObserver : public QObject
{
    Q_OBJECT
public:
    static globalObserver *getGlobalObserver();
    static void release();

    void attach(const QString &type, QObject *reciver, const char *method);
    void detach(const QString &type, const QObject *reciver);
    void notify(const QString &type,
                QGenericArgument val0 = QGenericArgument(nullptr),
                QGenericArgument val1 = QGenericArgument(),
                QGenericArgument val2 = QGenericArgument(),
                QGenericArgument val3 = QGenericArgument(),
                QGenericArgument val4 = QGenericArgument(),
                QGenericArgument val5 = QGenericArgument(),
                QGenericArgument val6 = QGenericArgument(),
                QGenericArgument val7 = QGenericArgument(),
                QGenericArgument val8 = QGenericArgument(),
                QGenericArgument val9 = QGenericArgument());

    // Number of live subscriptions of a topic (all topics when empty).
    int subscriptionCount(const QString &type = QString()) const;

private:
    explicit globalObserver(QObject *parent = nullptr);
    ~globalObserver() override;
    using RelationList = QList<std::shared_ptr<relationData>>;
    static void pruneLocked(RelationList &list);

    // Topic -> its subscriptions in the order they were made.
    QHash<QString, RelationList> m_oRelationList;
    mutable QMutex m_mutex;
    static globalObserver *m_pInst;
};

#endif // GLOBALOBSERVER_H
