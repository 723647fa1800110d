#include "store/BookingKeys.h"

#include <QMutex>
#include <QSet>
#include <QUuid>

namespace BookingKeys {

namespace {
const QString DonePrefix = QStringLiteral("已完成");
QMutex unresolvedMutex;
QSet<QString> unresolved;
} // namespace

QString make() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

void markUnresolved(const QString& key) {
    QMutexLocker lock(&unresolvedMutex);
    unresolved.insert(key);
}

bool isUnresolved(const QString& key) {
    QMutexLocker lock(&unresolvedMutex);
    return unresolved.contains(key);
}

void forget(const QString& key) {
    QMutexLocker lock(&unresolvedMutex);
    unresolved.remove(key);
}

const QString& Attempt::key() {
    if (m_key.isEmpty())
        m_key = make();
    return m_key;
}

Attempt::Failure Attempt::failed(const QString& error) {
    if (!m_key.isEmpty() && isUnresolved(m_key))
        return Failure::Unknown;
    m_key.clear();
    return error.startsWith(DonePrefix) ? Failure::DoneEarlier : Failure::NotDone;
}

QString notDone() {
    return QStringLiteral("与数据库的连接中断, 本次操作没有完成, 可以重新操作.");
}

QString unknown(const QString& key) {
    return QStringLiteral("结果未知: 与数据库的连接中断, 还不能确认本次操作是否已经保存 "
                          "(业务号 %1). 请不要重新录入; 连接恢复后再点一次, 系统会先查明结果.")
        .arg(key);
}

QString alreadyDone(const QString& orderNumber) {
    if (orderNumber.isEmpty())
        return QStringLiteral("已完成: 本次操作在连接中断前已经保存, 没有重复保存.");
    return QStringLiteral("已完成: 本次操作在连接中断前已经保存 (单号 %1), 没有重复保存.")
        .arg(orderNumber);
}

} // namespace BookingKeys
