#pragma once

#include <QHash>
#include <QPointer>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QString>
#include <memory>

// The prepared statements kept per connection and reused (a small cache
// keyed by statement text). A connection lives in the thread that opened
// it, so the cache is per thread. Closing a connection drops its
// statements before the driver goes.
namespace KeptStatements {

struct Statement {
    QSqlQuery query;
    bool busy = false;
    quint64 lastUse = 0;
};

struct OfConnection {
    QPointer<QSqlDriver> driver;
    QHash<QString, std::shared_ptr<Statement>> byText;
    quint64 uses = 0;
};

inline constexpr int MaxPerConnection = 64;

// The statements of the named connection, emptied when the name now stands
// for another connection (another driver).
OfConnection& of(const QString& name, QSqlDriver* driver);
// Drops the least recently used statements not being read beyond count.
void keepAtMost(OfConnection& statements, int count);
void forget(const QString& name);
int count(const QString& name);

} // namespace KeptStatements
