#include "store/Db.h"

#include "store/BookingKeys.h"
#include "store/Clock.h"
#include "store/KeptStatements.h"
#include "store/StatementWatch.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QPointer>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QThread>

namespace {

QString errorText(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    return text;
}

const QString NestedTransaction = QStringLiteral("事务不能嵌套: 这个连接上已有一个没有结束的事务");

// What a connection's open transaction has met so far. Connections are
// named per thread, so the table is shared between threads.
struct TransactionState {
    bool open = false;
    QString failure;        // the first statement error inside it
    bool retryable = false; // that error was a deadlock or serialization failure
    QString orderNumber;    // the order number the booking took
};

// What the last failed statement of a connection met.
struct LastFailure {
    bool broken = false;         // the connection cannot be used any more
    bool timedOut = false;       // given up at the statement's deadline
    bool busy = false;           // another writer holds the database
    bool outcomeUnknown = false; // a COMMIT whose outcome is not known
};

QMutex stateMutex;
QHash<QString, TransactionState> states;
QHash<QString, LastFailure> lastFailures;
// connections to be reopened before their next statement
QSet<QString> brokenConnections;
std::function<bool(int)> busyWaiter;

LastFailure lastFailureOf(const QString& connection) {
    QMutexLocker lock(&stateMutex);
    return lastFailures.value(connection);
}

void setLastFailure(const QString& connection, const LastFailure& failure) {
    QMutexLocker lock(&stateMutex);
    lastFailures.insert(connection, failure);
    if (failure.broken || failure.outcomeUnknown)
        brokenConnections.insert(connection);
}

bool takeBroken(const QString& connection) {
    QMutexLocker lock(&stateMutex);
    return brokenConnections.remove(connection);
}

TransactionState stateOf(const QString& connection) {
    QMutexLocker lock(&stateMutex);
    return states.value(connection);
}

void setState(const QString& connection, const TransactionState& state) {
    QMutexLocker lock(&stateMutex);
    states.insert(connection, state);
}

void noteFailure(const QString& connection, const QString& text, bool retryable) {
    QMutexLocker lock(&stateMutex);
    auto it = states.find(connection);
    if (it == states.end() || !it->open || !it->failure.isEmpty())
        return;
    it->failure = text;
    it->retryable = retryable;
}

// NUL ends a text early in the engines' C interfaces and an unpaired
// surrogate has no encoding: such text would not come back as it was typed.
bool isStorableText(const QString& text) {
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c.isNull())
            return false;
        if (c.isHighSurrogate()) {
            if (i + 1 >= n || !text[i + 1].isLowSurrogate())
                return false;
            ++i;
        } else if (c.isLowSurrogate()) {
            return false;
        }
    }
    return true;
}

} // namespace

const QString Db::UnstorableText =
    QStringLiteral("输入的文字中含有不能保存的字符(空字符或不完整的字符), 请删除后重新输入.");
const QString Db::AmountOutOfRange = QStringLiteral("金额超出范围, 不能保存.");

// ---- Rows ----------------------------------------------------------------

QVariant Rows::value(const QString& column) const {
    return m_query->value(column);
}

QList<QVariantList> Rows::remaining() {
    const int width = m_query->record().count();
    QList<QVariantList> values;
    while (m_query->next()) {
        QVariantList row;
        row.reserve(width);
        for (int c = 0; c < width; ++c)
            row << m_query->value(c);
        values << row;
    }
    return values;
}

bool Rows::isNull(const QString& column) const {
    return m_query->isNull(column);
}

QString Rows::text(const QString& column) const {
    const QVariant v = m_query->value(column);
    if (v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::QDateTime:
        return Clock::formatDateTime(v.toDateTime());
    case QMetaType::QDate:
        return Clock::formatDate(v.toDate());
    default:
        return v.toString();
    }
}

qint64 Rows::integer(const QString& column) const {
    return m_query->value(column).toLongLong();
}

Money Rows::money(const QString& column) const {
    return m_dialect->decodeMoney(m_query->value(column));
}

QDateTime Rows::dateTime(const QString& column) const {
    const QVariant v = m_query->value(column);
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().startOfDay();
    return Clock::parseDateTime(v.toString());
}

QDate Rows::date(const QString& column) const {
    return dateTime(column).date();
}

bool Rows::yesNo(const QString& column) const {
    const QVariant v = m_query->value(column);
    if (v.typeId() == QMetaType::QString)
        return v.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
               v.toString() == QLatin1String("1");
    return v.toBool();
}

QByteArray Rows::bytes(const QString& column) const {
    return m_query->value(column).toByteArray();
}

// ---- Db ------------------------------------------------------------------

Db::Db(QString connectionName) : m_name(std::move(connectionName)) {}

QSqlDatabase Db::handle() const {
    return QSqlDatabase::database(m_name, false);
}

Engine Db::engine() const {
    return Dialect::ofDriver(handle().driverName()).engine();
}

bool Db::isOpen() const {
    return handle().isOpen();
}

Result<bool> Db::mayChangeSchema() const {
    const Db& db = *this;
    if (!db.isOpen())
        return Error{QStringLiteral("数据库没有连接")};
    if (db.dialect().isEmbeddedFile())
        return true;
    // owning the version table stands for owning the tables the steps alter
    auto rows = db.select(
        QStringLiteral("select has_schema_privilege(current_schema(), 'CREATE') as may_create, "
                       "(select pg_has_role(current_user, c.relowner, 'USAGE') from pg_class c "
                       " where c.oid = to_regclass('schema_version')) as owns"));
    if (!rows)
        return Error{rows.error()};
    if (!rows.value().next())
        return false;
    const bool mayCreate = rows.value().yesNo(QStringLiteral("may_create"));
    const bool noTables = rows.value().isNull(QStringLiteral("owns"));
    return mayCreate && (noTables || rows.value().yesNo(QStringLiteral("owns")));
}

Result<std::optional<bool>> Db::encrypted() const {
    const Db& db = *this;
    if (!db.isOpen())
        return Error{QStringLiteral("数据库没有连接")};
    if (db.dialect().isEmbeddedFile())
        return std::optional<bool>();
    auto rows =
        db.select(QStringLiteral("select ssl from pg_stat_ssl where pid = pg_backend_pid()"));
    if (!rows)
        return Error{rows.error()};
    return std::optional<bool>(rows.value().next() && rows.value().yesNo(QStringLiteral("ssl")));
}

const Dialect& Db::dialect() const {
    return Dialect::of(engine());
}

QVariant Db::toSql(const QVariant& value) const {
    return dialect().encode(value);
}

Money Db::moneyFrom(const QVariant& stored) const {
    return dialect().decodeMoney(stored);
}

Status Db::checkStorable(const QVariant& value) {
    if (value.typeId() == QMetaType::QString && !isStorableText(value.toString()))
        return Error{UnstorableText};
    if (value.typeId() == qMetaTypeId<Money>() && !value.value<Money>().isValid())
        return Error{AmountOutOfRange};
    return {};
}

namespace {

std::shared_ptr<QSqlQuery> freshQuery(const QSqlDatabase& db) {
    auto query = std::make_shared<QSqlQuery>(db);
    query->setForwardOnly(true);
    query->setNumericalPrecisionPolicy(QSql::HighPrecision);
    return query;
}

} // namespace

namespace {

// A booking's key is written inside its own transaction; whether a booking
// under a key stands, with its order number (empty for a booking without one).
Status recordBookingKey(const Db& db, const QString& key, const QString& orderNumber) {
    auto written =
        db.exec(QStringLiteral("insert into booking_keys(booking_key, order_number, "
                               "booked_at) values(?, ?, ?)"),
                {key, orderNumber.isEmpty() ? QVariant() : QVariant(orderNumber), Clock::now()});
    if (!written)
        return Error{written.error()};
    return {};
}

Result<std::optional<QString>> lookUpBookingKey(const Db& db, const QString& key) {
    auto rows = db.select(
        QStringLiteral("select order_number from booking_keys where booking_key = ?"), {key});
    if (!rows)
        return Error{rows.error()};
    if (!rows.value().next())
        return std::optional<QString>();
    return std::optional<QString>(rows.value().text(QStringLiteral("order_number")));
}

} // namespace

int Db::cachedStatementCount(const QString& connectionName) {
    return KeptStatements::count(connectionName);
}

Result<std::shared_ptr<QSqlQuery>> Db::run(const QString& sql, const QVariantList& params) const {
    const bool inBooking = stateOf(m_name).open;
    // a connection lost earlier comes back before the next statement; never
    // inside a transaction, which went with it
    if (!inBooking && takeBroken(m_name)) {
        if (Status reopened = Connection::reopen(m_name); !reopened) {
            setLastFailure(m_name, LastFailure{true, false, false, false});
            return Error{QStringLiteral("数据库没有连接, 重新连接失败: ") + reopened.error()};
        }
    }
    QSqlDatabase db = handle();
    if (!db.isOpen())
        return Error{QStringLiteral("数据库没有连接")};
    // looked up once: finding the connection by name takes a global lock
    const Dialect& engine = Dialect::ofDriver(db.driverName());
    for (const QVariant& param : params) {
        if (Status storable = checkStorable(param); !storable) {
            noteFailure(m_name, storable.error(), false);
            return Error{storable.error()};
        }
    }
    const QVariant driverHandle = db.driver()->handle();
    StatementWatch::Guard watch(engine.socketOf(driverHandle), inBooking);
    auto failed = [&](const QSqlError& error) -> Result<std::shared_ptr<QSqlQuery>> {
        QString text = engine.plainError(error, errorText(error));
        const bool broken = watch.fired() || engine.connectionBroken(driverHandle, error);
        if (watch.fired())
            text =
                QStringLiteral("数据库服务器 %1 秒内没有回答, 连接已断开, 下次操作时重新连接 (%2)")
                    .arg(watch.seconds())
                    .arg(text);
        setLastFailure(m_name, LastFailure{broken, watch.fired(), engine.isBusy(error),
                                           sql == QLatin1String("COMMIT") &&
                                               engine.commitOutcomeUnknown(error, broken)});
        noteFailure(m_name, text, engine.isRetryable(error));
        return Error{text};
    };
    if (params.isEmpty()) {
        // Statements without values run as they are (PostgreSQL cannot
        // prepare BEGIN, COMMIT or SET).
        auto query = freshQuery(db);
        if (!query->exec(sql))
            return failed(query->lastError());
        return query;
    }
    auto bindAndRun = [&](QSqlQuery& query) {
        for (int i = 0; i < params.size(); ++i)
            query.bindValue(i, engine.encode(params[i]));
        return query.exec();
    };
    KeptStatements::OfConnection& statements = KeptStatements::of(m_name, db.driver());
    std::shared_ptr<KeptStatements::Statement> cached = statements.byText.value(sql);
    if (cached && cached->busy) {
        // the same statement is still being read (a nested lookup): a
        // statement of its own for this one
        auto query = freshQuery(db);
        if (!query->prepare(sql) || !bindAndRun(*query))
            return failed(query->lastError());
        return query;
    }
    std::optional<QSqlError> firstError;
    if (cached && !bindAndRun(cached->query)) {
        // A kept statement can have gone stale (the connection was reopened,
        // the table changed): prepared afresh once. A statement that failed
        // changed nothing, so running it again is safe.
        firstError = cached->query.lastError();
        statements.byText.remove(sql);
        cached.reset();
    }
    if (!cached) {
        cached = std::make_shared<KeptStatements::Statement>();
        cached->query = std::move(*freshQuery(db));
        if (!cached->query.prepare(sql) || !bindAndRun(cached->query))
            return failed(firstError ? *firstError : cached->query.lastError());
        statements.byText.insert(sql, cached);
        KeptStatements::keepAtMost(statements, KeptStatements::MaxPerConnection);
    }
    cached->busy = true;
    cached->lastUse = ++statements.uses;
    // Handed back finished, so that no read stays open on the connection.
    return std::shared_ptr<QSqlQuery>(&cached->query, [cached](QSqlQuery* query) {
        query->finish();
        cached->busy = false;
    });
}

Result<std::shared_ptr<QSqlQuery>> Db::read(const QString& sql, const QVariantList& params) const {
    auto query = run(sql, params);
    // a read outside a booking that found the connection gone is read again
    // once over a new one: reading twice changes nothing
    if (!query && !stateOf(m_name).open && lastFailureOf(m_name).broken &&
        !lastFailureOf(m_name).timedOut)
        query = run(sql, params);
    return query;
}

Result<Rows> Db::select(const QString& sql, const QVariantList& params) const {
    auto query = read(sql, params);
    if (!query)
        return Error{query.error()};
    return Rows(query.value(), dialect());
}

Result<qint64> Db::exec(const QString& sql, const QVariantList& params) const {
    auto query = run(sql, params);
    if (!query)
        return Error{query.error()};
    return qint64(query.value()->numRowsAffected());
}

Result<qint64> Db::insert(const QString& sql, const QVariantList& params,
                          const QString& identityColumn) const {
    if (const QString returning = dialect().returningKey(identityColumn); !returning.isEmpty()) {
        auto query = run(sql + returning, params);
        if (!query)
            return Error{query.error()};
        if (!query.value()->next())
            return Error{QStringLiteral("插入没有返回新行")};
        return query.value()->value(0).toLongLong();
    }
    auto query = run(sql, params);
    if (!query)
        return Error{query.error()};
    return query.value()->lastInsertId().toLongLong();
}

Result<std::optional<qint64>> Db::scalarInteger(const QString& sql,
                                                const QVariantList& params) const {
    auto query = read(sql, params);
    if (!query)
        return Error{query.error()};
    if (!query.value()->next() || query.value()->isNull(0))
        return std::optional<qint64>();
    return std::optional<qint64>(query.value()->value(0).toLongLong());
}

Result<Money> Db::scalarMoney(const QString& sql, const QVariantList& params) const {
    auto query = read(sql, params);
    // SQLite's sum of whole numbers stops at the range's end with an error
    // of its own: said as any other figure beyond the range
    if (!query && dialect().isSumOverflow(query.error()))
        return Error{Money::sumOutOfRangeMessage(QStringLiteral("读到的金额"))};
    if (!query)
        return Error{query.error()};
    if (!query.value()->next())
        return Money();
    const Money value = moneyFrom(query.value()->value(0));
    if (!value.isValid())
        return Error{Money::sumOutOfRangeMessage(QStringLiteral("读到的金额"))};
    return value;
}

Result<qint64> Db::addTo(const QString& table, const QString& column, const QVariant& delta,
                         const QString& keyColumn, const QVariant& keyValue) const {
    const QString c = quoted(column);
    // A sum beyond what an amount can hold is not made: SQLite would turn
    // it into an inexact real number, and PostgreSQL's numeric(19,4) holds
    // more than an amount can be read back as.
    const QString sum = QStringLiteral("COALESCE(%1, 0) + ?").arg(c);
    const QString inRange = dialect().amountInRange(sum);
    auto changed = exec(QStringLiteral("update %1 set %2 = %3 where %4 = ? and %5")
                            .arg(quoted(table), c, sum, quoted(keyColumn), inRange),
                        {delta, keyValue, delta});
    if (!changed || changed.value() > 0)
        return changed;
    auto exists = scalarInteger(QStringLiteral("select count(*) from %1 where %2 = ?")
                                    .arg(quoted(table), quoted(keyColumn)),
                                {keyValue});
    if (!exists)
        return Error{exists.error()};
    if (exists.value().value_or(0) > 0) {
        noteFailure(m_name, AmountOutOfRange, false);
        return Error{AmountOutOfRange};
    }
    return changed;
}

QString Db::quoted(const QString& identifier) {
    QString inner = identifier;
    inner.replace(u'"', QStringLiteral("\"\""));
    return u'"' + inner + u'"';
}

QStringList Db::columns(const QString& table) const {
    const QSqlRecord record = handle().record(table);
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    return names;
}

bool Db::hasColumn(const QString& table, const QString& column) const {
    return !column.isEmpty() && columns(table).contains(column);
}

bool Db::hasTable(const QString& table) const {
    return handle().tables(QSql::Tables).contains(table);
}

QString Db::containsCondition(const QString& quotedColumn, ColumnType type) const {
    return dialect().containsCondition(quotedColumn, type);
}

Status Db::checkSearchText(const QString& typed) {
    if (typed.size() > MaxSearchLength)
        return Error{QStringLiteral("查找内容太长, 最多 %1 个字.").arg(MaxSearchLength)};
    return {};
}

QString Db::containsPattern(const QString& typed) {
    return Dialect::containsPattern(typed);
}

bool Db::inTransactionNow() const {
    return stateOf(m_name).open;
}

void Db::noteOrderNumber(const QString& orderNumber) const {
    QMutexLocker lock(&stateMutex);
    auto it = states.find(m_name);
    if (it != states.end() && it->open)
        it->orderNumber = orderNumber;
}

void Db::setBusyWaiter(std::function<bool(int)> waiter) {
    QMutexLocker lock(&stateMutex);
    busyWaiter = std::move(waiter);
}

Status Db::inSchemaTransaction(const std::function<Status()>& work) const {
    return transact(work, {});
}

Status Db::inTransaction(const std::function<Status()>& work, const QString& bookingKey) const {
    const QString key = bookingKey.isEmpty() ? BookingKeys::make() : bookingKey;
    if (BookingKeys::isUnresolved(key)) {
        // the last try under this key ended without an answer: look first
        auto standing = lookUpBookingKey(*this, key);
        if (!standing)
            return Error{BookingKeys::unknown(key)};
        BookingKeys::forget(key);
        if (standing.value())
            return Error{BookingKeys::alreadyDone(*standing.value())};
    }
    return transact(work, key);
}

Status Db::transact(const std::function<Status()>& work, const QString& key) const {
    QElapsedTimer waited;
    waited.start();
    bool reconnected = false;
    for (int attempt = 0;; ++attempt) {
        bool retryable = false;
        bool commitUnknown = false;
        enum class Begin { Started, Busy, Broken, Failed } begin = Begin::Started;
        Status outcome = [&]() -> Status {
            Transaction transaction(*this);
            if (!transaction.started()) {
                const LastFailure failure = lastFailureOf(m_name);
                begin = failure.busy ? Begin::Busy : failure.broken ? Begin::Broken : Begin::Failed;
                return transaction.started();
            }
            Status result = work();
            retryable = stateOf(m_name).retryable;
            // (after a failed statement the commit tells why nothing is saved)
            if (result && !key.isEmpty() && stateOf(m_name).failure.isEmpty())
                result = recordBookingKey(*this, key, stateOf(m_name).orderNumber);
            if (!result) {
                transaction.rollback();
                return result;
            }
            result = transaction.commit();
            retryable = retryable || transaction.failedRetryably();
            commitUnknown = !result && transaction.outcomeUnknown();
            return result;
        }();
        if (outcome)
            return outcome;
        if (commitUnknown && !key.isEmpty())
            return resolveLostCommit(key);
        if (begin == Begin::Broken && !reconnected) {
            // the connection had gone before the booking began: nothing of
            // it was sent, so it starts again over a new one
            reconnected = true;
            continue;
        }
        if (begin == Begin::Busy && waited.elapsed() < BusyPatienceSeconds * 1000) {
            std::function<bool(int)> waiter;
            {
                QMutexLocker lock(&stateMutex);
                waiter = busyWaiter;
            }
            if (waiter) {
                if (!waiter(int(waited.elapsed())))
                    return Error{QStringLiteral("已取消, 本次操作没有完成.")};
            } else {
                QThread::msleep(50 + QRandomGenerator::global()->bounded(50));
            }
            continue;
        }
        if (!retryable || attempt >= MaxRetries)
            return outcome;
        // let the transaction that won go first, so the two do not meet again
        QThread::msleep(20 * (attempt + 1) + QRandomGenerator::global()->bounded(20));
    }
}

Status Db::resolveLostCommit(const QString& key) const {
    // the next statement reopens the connection; the booking's key tells
    // whether its commit was made
    auto standing = lookUpBookingKey(*this, key);
    if (!standing) {
        BookingKeys::markUnresolved(key);
        return Error{BookingKeys::unknown(key)};
    }
    if (standing.value())
        return {};
    return Error{BookingKeys::notDone()};
}

Status Db::inReadSnapshot(const std::function<Status()>& work) const {
    if (stateOf(m_name).open)
        return Error{NestedTransaction};
    if (auto begun = exec(dialect().beginReadSnapshot()); !begun)
        return Error{begun.error()};
    setState(m_name, TransactionState{true, {}, false, {}});
    const Status outcome = work();
    const QString failure = stateOf(m_name).failure;
    // nothing was written: either end gives the snapshot back
    auto ended = exec(outcome ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
    setState(m_name, TransactionState{});
    if (!outcome)
        return outcome;
    if (!failure.isEmpty())
        return Error{failure};
    if (!ended)
        return Error{ended.error()};
    return {};
}

// ---- Transaction ---------------------------------------------------------

Transaction::Transaction(const Db& db) : m_db(db) {
    if (stateOf(db.connectionName()).open) {
        m_started = Error{NestedTransaction};
        return;
    }
    auto done = db.exec(db.dialect().beginTransaction());
    if (!done) {
        m_started = Error{done.error()};
        return;
    }
    m_open = true;
    setState(db.connectionName(), TransactionState{true, {}, false, {}});
}

Transaction::~Transaction() {
    rollback();
}

Status Transaction::commit() {
    if (!m_open)
        return Error{QStringLiteral("事务没有开始")};
    // A statement that failed inside the transaction has, on PostgreSQL,
    // turned it into one that COMMIT silently rolls back: never report
    // such a transaction as written.
    const TransactionState state = stateOf(m_db.connectionName());
    if (!state.failure.isEmpty()) {
        m_retryable = state.retryable;
        rollback();
        return Error{QStringLiteral("没有保存, 事务中有语句失败: ") + state.failure};
    }
    auto done = m_db.exec(QStringLiteral("COMMIT"));
    if (!done) {
        m_retryable = stateOf(m_db.connectionName()).retryable;
        // read before the ROLLBACK, which may fail in its turn
        m_outcomeUnknown = lastFailureOf(m_db.connectionName()).outcomeUnknown;
        rollback();
        return Error{done.error()};
    }
    finish();
    return {};
}

void Transaction::rollback() {
    if (!m_open)
        return;
    (void)m_db.exec(QStringLiteral("ROLLBACK"));
    finish();
}

void Transaction::finish() {
    m_open = false;
    setState(m_db.connectionName(), TransactionState{});
}
