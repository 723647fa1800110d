#pragma once

#include "store/Engine.h"
#include "store/Money.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class QSqlError;

// The kinds of column the shop's tables use.
enum class ColumnType { Text, Memo, Integer, Money, Date, DateTime, YesNo, Picture, Identity };

// Everything that differs between the two engines, in one place: SQL text,
// how values are stored and read back, the row identity a grid edits by,
// and which errors are worth trying again. Nothing else tests the engine.
class Dialect {
public:
    static const Dialect& of(Engine engine);
    Engine engine() const { return m_engine; }

    // ---- the engine itself ----
    // The Qt SQL driver of the engine, and the dialect of an open
    // connection's driver (any other driver is taken for SQLite's).
    QString driverName() const;
    static const Dialect& ofDriver(const QString& driverName);
    // The database is a file the program opens itself: no server, no roles,
    // no encryption on the way, nothing to dump with a server's tools.
    bool isEmbeddedFile() const;
    // The error of a sum of whole numbers that went beyond the engine's
    // range (SQLite stops with an error of its own; PostgreSQL's numeric
    // does not overflow).
    bool isSumOverflow(const QString& engineText) const;

    // ---- SQL text ----
    QString columnType(ColumnType type) const;
    // A column's constraints and default with the engine's boolean literals.
    QString columnExtra(const QString& extra) const;
    // Starts a transaction; SQLite takes the write lock at once, so a second
    // workstation waits instead of failing later.
    QString beginTransaction() const;
    // Starts a transaction that only reads and sees one snapshot of the
    // database throughout (on SQLite a deferred BEGIN: the snapshot of the
    // first read lasts until the end; no write lock is taken).
    QString beginReadSnapshot() const;
    // What an insert appends to give the new row's key ("" when the driver
    // reports it).
    QString returningKey(const QString& identityColumn) const;
    // A "contains" condition on a column of any type; bind containsPattern.
    // A money column is matched against the text a list shows for it, the
    // shortest form of the amount ("25.5", "10", "-3", "0.8097"), whatever
    // the engine stores.
    QString containsCondition(const QString& quotedColumn,
                              ColumnType type = ColumnType::Text) const;
    // The pattern for a typed text: % and _ typed by the user match themselves.
    static QString containsPattern(const QString& typed);
    // The hidden column that tells one row from another where names repeat.
    QString rowIdentity() const;
    // A condition that holds when the amount expression can still be read
    // back as an amount (SQLite would turn a sum beyond it into an inexact
    // real; numeric(19,4) holds more than an amount can be read back as).
    QString amountInRange(const QString& expression) const;
    // Appended to a select inside a booking to lock the rows it read until
    // the transaction ends ("" where BEGIN already locks the database).
    QString lockRead() const;
    // Taken inside the transaction that creates or upgrades the schema, so a
    // second workstation starting at once waits ("" where BEGIN already
    // locks the database).
    QString schemaLock() const;

    // "Contains" searches through a trigram index. The statements that
    // build one over table's columns (and fill it from the rows there):
    // SQLite an FTS5 trigram table named fts over the table's rowids, kept
    // fresh by triggers that fire only when an indexed column changes;
    // PostgreSQL pg_trgm GIN indexes.
    QStringList trigramIndex(const QString& table, const QStringList& columns,
                             const QString& fts) const;
    // Whether a search must name the FTS5 table to use the index (SQLite);
    // otherwise containsCondition takes the index by itself (PostgreSQL).
    bool searchesThroughTrigramTable() const;
    // The planner's statistics. SQLite gathers them only when asked: a
    // statement giving a row when they were never gathered, the statements
    // that gather them (sampling a few hundred rows per index, so that a
    // large file takes moments), and those that refresh the ones of the
    // tables the connection used, for when it closes. PostgreSQL keeps them
    // by itself: no statements.
    QString statisticsMissing() const;
    QStringList gatherStatistics() const;
    QStringList refreshStatistics() const;
    // Where NULL sorts in an ascending order: first (the smallest value) or
    // last (the largest).
    bool sortsNullsFirst() const;
    // A column in a condition that must not drive the plan (SQLite "+col";
    // PostgreSQL weighs its indexes by their statistics).
    QString withoutIndex(const QString& quotedColumn) const;

    // ---- bulk loading (the large sample shop) ----
    // A FROM item "n(i)" of the integers first..last, made by the engine.
    QString integerSeries(qint64 first, qint64 last) const;
    // An amount from an integer expression of ten-thousandths.
    QString amountFromUnits(const QString& units) const;
    // A moment (DateTime column) or a day (Date column) from an integer
    // expression of seconds since 1970-01-01 00:00:00 on the shop's clock.
    QString momentFromSeconds(const QString& seconds) const;
    QString dayFromSeconds(const QString& seconds) const;
    // The indexes and triggers on a table that a bulk load may drop and make
    // again from their definition afterwards (not those behind a key or a
    // unique column). Bind the table's name; columns: kind ("index" or
    // "trigger"), name, the statement that makes it.
    QString rebuildableIndexes() const;
    // Refills a trigram table from its base table ("" where the index is
    // part of the base table and made again with it).
    QString rebuildTrigramIndex(const QString& fts) const;
    // Connection settings worth changing for a bulk load, with the value
    // during the load; read the value before to put it back afterwards.
    struct Setting {
        QString name;
        QString bulkValue;
    };
    QList<Setting> bulkLoadSettings() const;
    QString readSetting(const QString& name) const;
    QString writeSetting(const QString& name, const QString& value) const;
    // After rows were written with their identity values given (an import
    // keeping an old file's numbers): the statement that moves the table's
    // identity past its largest value, so that new rows continue after it;
    // bind the quoted table name and the column. "" where the engine keeps
    // track by itself (SQLite's AUTOINCREMENT).
    QString identityPastLargest(const QString& table, const QString& column) const;

    // ---- values ----
    // The stored form of a parameter: Money is INTEGER ten-thousandths in
    // SQLite and numeric(19,4) text in PostgreSQL; bool is 1/0 in SQLite;
    // dates and moments are written as text.
    QVariant encode(const QVariant& value) const;
    // An amount read from a money column or aggregate (NULL reads as 0); a
    // value beyond what an amount holds reads as an overflow, never wrapped.
    Money decodeMoney(const QVariant& stored) const;
    // Whether the driver reports a column's type (money, date, yes/no); on
    // SQLite only the column's name tells.
    bool reportsColumnTypes() const;

    // ---- errors ----
    // A deadlock or serialization failure: the same work may well succeed
    // when run again. (SQLite waits for its lock itself, up to the busy
    // timeout; nothing there is worth running again.)
    bool isRetryable(const QSqlError& error) const;
    // The engine's text, after a sentence of our own when the failure is not
    // about the statement but about the file, the server or the connection
    // (a failing disk, a lock held too long, a lost connection), so the user
    // learns that nothing was saved.
    QString plainError(const QSqlError& error, const QString& engineText) const;
    // The connection cannot be used any more (the server went away, the
    // program gave the connection up at a statement's deadline): it is
    // reopened before the next statement. driverHandle is the driver's
    // handle of the connection (QSqlDriver::handle()).
    bool connectionBroken(const QVariant& driverHandle, const QSqlError& error) const;
    // A COMMIT failed so that its transaction may stand or not: the server
    // went away before answering, or the disk failed while the commit was
    // being made durable. Only a look at the database afterwards tells.
    bool commitOutcomeUnknown(const QSqlError& error, bool connectionBroken) const;
    // Another writer holds the database (SQLite): the same work can go
    // ahead a little later.
    bool isBusy(const QSqlError& error) const;
    // The socket of a server connection, for giving it up from outside the
    // call that waits on it; -1 where there is none (an embedded file).
    int socketOf(const QVariant& driverHandle) const;

    // ---- stopping a statement from another thread ----
    // Stops what runs on one connection, from any thread (one stop at a
    // time). It is made on the connection's own thread once the connection
    // is open (driverHandle as for connectionBroken) and must go before the
    // connection closes. A stop that comes while no statement runs there is
    // lost: whoever stops sends it again should a statement start meanwhile.
    class Canceller {
    public:
        virtual ~Canceller() = default;
        virtual void cancel() = 0;
    };
    // nullptr when the handle is not one of this engine's connections.
    std::unique_ptr<Canceller> canceller(const QVariant& driverHandle) const;

private:
    explicit Dialect(Engine engine) : m_engine(engine) {}
    Engine m_engine;
};

// What the database kind of de.ini ("a" embedded file, "s" server) says
// about literals. They describe the kind only: values always go into
// statements as bound parameters. The comparison is exact, so "S" is no kind.
QString SqlQuoteChar(const QString& kind);
QString SqlDateDelimiter(const QString& kind);
