#pragma once

#include "store/Connection.h"
#include "store/Dialect.h"
#include "store/Money.h"
#include "store/Result.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>

class Db;

// Rows of a select, read in order from the first, with columns by name
// (matched without regard to case). NULL reads as the empty text, 0, a
// zero amount, no, an invalid date or empty bytes.
class Rows {
public:
    bool next() { return m_query->next(); }
    bool isNull(const QString& column) const;
    QVariant value(const QString& column) const;
    QString text(const QString& column) const;
    qint64 integer(const QString& column) const;
    Money money(const QString& column) const;
    QDateTime dateTime(const QString& column) const;
    QDate date(const QString& column) const;
    bool yesNo(const QString& column) const;
    QByteArray bytes(const QString& column) const;

    QSqlRecord record() const { return m_query->record(); }
    // The rows not read yet, each as its stored values in column order.
    QList<QVariantList> remaining();
    QSqlQuery& query() { return *m_query; }
    const Dialect& dialect() const { return *m_dialect; }

private:
    friend class Db;
    Rows(std::shared_ptr<QSqlQuery> query, const Dialect& dialect)
        : m_query(std::move(query)), m_dialect(&dialect) {}
    // May be a statement of the connection's cache: then it is finished and
    // handed back when the rows are gone.
    std::shared_ptr<QSqlQuery> m_query;
    const Dialect* m_dialect;
};

// The data layer over one named connection. Every value goes into a
// statement as a bound "?" parameter; Money, bool, QDate and QDateTime
// parameters are converted to the engine's representation here, so no
// caller sees how an engine stores them.
class Db {
public:
    explicit Db(QString connectionName = Connection::Shared);

    const QString& connectionName() const { return m_name; }
    QSqlDatabase handle() const;
    Engine engine() const;
    // What differs between the engines: ask it, never the engine.
    const Dialect& dialect() const;
    bool isOpen() const;
    // Whether the connection's user may create and alter the shop's tables
    // (an embedded file: always; a server: it owns the tables, or there are
    // none yet, and it may create in the schema). A workstation connected
    // with a role that may only read and write rows never changes the schema.
    Result<bool> mayChangeSchema() const;
    // Whether the server connection is encrypted (TLS), as the server sees
    // it; nullopt for an embedded file.
    Result<std::optional<bool>> encrypted() const;

    Result<Rows> select(const QString& sql, const QVariantList& params = {}) const;
    // Rows changed by the statement.
    Result<qint64> exec(const QString& sql, const QVariantList& params = {}) const;
    // An insert into a table with an identity column; gives the new row's key.
    Result<qint64> insert(const QString& sql, const QVariantList& params,
                          const QString& identityColumn = QStringLiteral("id")) const;
    // First column of the first row; nullopt when there is no row or it is NULL.
    Result<std::optional<qint64>> scalarInteger(const QString& sql,
                                                const QVariantList& params = {}) const;
    // A sum over no rows is 0.
    Result<Money> scalarMoney(const QString& sql, const QVariantList& params = {}) const;

    // "update table set column = column + delta where key = value", NULL
    // counting as 0; delta is a Money or an integer. Gives the rows changed.
    Result<qint64> addTo(const QString& table, const QString& column, const QVariant& delta,
                         const QString& keyColumn, const QVariant& keyValue) const;

    // Identifier quoted for the engine: "名称".
    static QString quoted(const QString& identifier);
    // Whether column is one of table's real columns (case as stored).
    bool hasColumn(const QString& table, const QString& column) const;
    bool hasTable(const QString& table) const;
    QStringList columns(const QString& table) const;

    // A "contains" condition on a column of any type for a typed text; bind
    // containsPattern(text). % and _ typed by the user match themselves. A
    // money column matches the shortest form of its amount, as lists show it.
    QString containsCondition(const QString& quotedColumn,
                              ColumnType type = ColumnType::Text) const;
    static QString containsPattern(const QString& typed);
    // A search text longer than this is refused before it reaches "like"
    // (whose patterns the engines limit), with a message saying so.
    static constexpr int MaxSearchLength = 200;
    static Status checkSearchText(const QString& typed);

    // The engine representation of one parameter value.
    QVariant toSql(const QVariant& value) const;
    // An amount read from a column or aggregate of this engine.
    Money moneyFrom(const QVariant& stored) const;

    // Runs work in one transaction: committed when it succeeds, rolled back
    // when it fails (and then nothing of it is written). Transactions do not
    // nest: work must not start another. On a deadlock or serialization
    // failure (PostgreSQL) the whole work runs again, up to MaxRetries
    // times, so work must set what it reports, never add to it.
    //
    // Every transaction is a booking with a key (bookingKey, or a new one)
    // written inside it. When the answer to its COMMIT is lost, the
    // connection is reopened and the key looked up: a booking that stands
    // is reported done, one that does not as not done, and when the look-up
    // cannot be made the outcome is "结果未知" naming the key, which stays
    // unresolved: a later transaction under the same key first looks it up
    // again and is refused while the answer is still missing (and when the
    // booking stood). A transaction that meets another writer (SQLite) is
    // tried again for up to BusyPatienceSeconds, the busy waiter (when set)
    // hearing how long it has waited; it may cancel.
    Status inTransaction(const std::function<Status()>& work, const QString& bookingKey = {}) const;
    // The same without a key: for the schema's own steps, which run before
    // the table of keys may exist.
    Status inSchemaTransaction(const std::function<Status()>& work) const;
    static constexpr int MaxRetries = 3;
    static constexpr int BusyPatienceSeconds = 30;
    bool inTransactionNow() const;
    // Inside a booking: the order number it took, kept with its key.
    void noteOrderNumber(const QString& orderNumber) const;
    // Called on the booking's thread while it waits for another writer, with
    // the milliseconds waited so far; false cancels the booking. A window
    // shows "请稍候" with a cancel button and keeps painting meanwhile.
    static void setBusyWaiter(std::function<bool(int waitedMs)> waiter);
    // Runs work, which only reads, in one read-only transaction that sees
    // one snapshot: a booking committed meanwhile by another connection is
    // seen by none of work's statements. The transaction ends before this
    // returns (no read stays open, and no dialog may be shown inside work).
    // Refused inside another transaction; gives work's outcome.
    Status inReadSnapshot(const std::function<Status()>& work) const;

    // Values the engines cannot keep as given are refused before any
    // statement runs: text holding NUL or an unpaired surrogate, and an
    // amount that overflowed.
    static Status checkStorable(const QVariant& value);
    static const QString UnstorableText;
    static const QString AmountOutOfRange;

    // Statements with values are prepared once per connection and reused
    // (store/KeptStatements); Connection::close drops the connection's.
    // Statements kept for the named connection (for tests and benchmarks).
    static int cachedStatementCount(const QString& connectionName);

private:
    Result<std::shared_ptr<QSqlQuery>> run(const QString& sql, const QVariantList& params) const;
    Status resolveLostCommit(const QString& key) const;
    // run() for a statement that only reads: tried once more over a new
    // connection when the old one was found gone.
    Result<std::shared_ptr<QSqlQuery>> read(const QString& sql, const QVariantList& params) const;
    Status transact(const std::function<Status()>& work, const QString& key) const;
    QString m_name;
};

// Rolls back unless committed. On SQLite the write lock is taken at once
// (BEGIN IMMEDIATE), so a second workstation waits instead of failing later.
class Transaction {
public:
    explicit Transaction(const Db& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Refused when another transaction is open on the connection.
    const Status& started() const { return m_started; }
    // Fails, rolling back, when the COMMIT fails or when a statement failed
    // inside the transaction (which the server may have rolled back).
    Status commit();
    void rollback();
    // The failed commit met a deadlock or serialization failure.
    bool failedRetryably() const { return m_retryable; }
    // The failed commit may have been made or not (the answer was lost).
    bool outcomeUnknown() const { return m_outcomeUnknown; }

private:
    void finish();
    const Db& m_db;
    Status m_started;
    bool m_open = false;
    bool m_retryable = false;
    bool m_outcomeUnknown = false;
};
