#pragma once

#include "store/Dialect.h"
#include "store/ListQuery.h"
#include "store/Money.h"
#include "store/Result.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class BackgroundRead;

// A header's value filter: the rows whose column holds value (a null
// value: holds none).
struct ValueFilter {
    QString column;
    QVariant value;
};

// A header sort: the rows ordered by column (empty: as the statement
// orders them), ties by the list's key.
struct ListOrder {
    QString column;
    bool ascending = true;
};

// The footer's figures: the rows counted, and the sums of columns (money
// columns as money, others as whole numbers; a sum beyond what an amount
// holds is Money::overflow()).
struct ListFooter {
    qint64 count = 0;
    QHash<QString, Money> sums;
};

// What a list holds, read without any widget: a statement (ListQuery),
// narrowed by header value filters and ordered by a header sort, answered
// in pages by key (or, without a key, by position in one fixed order),
// counted and summed by one aggregate statement, and the distinct values of
// a column for a header filter. Every read is one statement finished at
// once: no cursor stays open between reads, so a dialog may process events
// between pages and a booking on the same connection never finds an old
// read. Grids, export and printing all read through it, so they never
// disagree on what a list holds.
class ListReader {
public:
    using Row = QVariantList;
    using Rows = QList<QVariantList>;

    ListReader() = default;
    explicit ListReader(ListQuery query) : m_query(std::move(query)) {}

    // A new statement: no filter, its own order, the columns learnt anew.
    void setQuery(ListQuery query);
    const ListQuery& query() const { return m_query; }
    void setFilters(QList<ValueFilter> filters) { m_filters = std::move(filters); }
    const QList<ValueFilter>& filters() const { return m_filters; }
    void setOrder(ListOrder order) { m_order = std::move(order); }
    const ListOrder& order() const { return m_order; }

    // The statement narrowed by the value filters (but the one of except).
    ListQuery filteredQuery(const QString& except = {}) const;
    // The rows as shown: filtered and in the shown order; a reader over it
    // reads the same rows in the same order.
    ListQuery shownQuery() const;

    // The first count rows as shown; learns the result's columns and the
    // engine. Every other read needs it done once.
    Result<Rows> first(int count);
    const QSqlRecord& columns() const { return m_columns; }
    const Dialect& dialect() const { return *m_dialect; }
    // Whether pages are read by the statement's key.
    bool isKeyed() const;

    // Rows by position: the page-th run of size rows as shown.
    Result<Rows> page(int page, int size) const;
    // The count rows after boundary as shown (backwards: those before it);
    // without a boundary, the first (backwards: the last) count rows.
    // Keyed lists only.
    Result<Rows> from(const Row* boundary, bool backwards, int count) const;
    // Every row as shown, size rows a statement: each(rows) for every run,
    // until it says false. Keyed lists go by key, others by position (in
    // runs growing to 16 × size, since each skips the rows before it).
    Status forEach(int size, const std::function<bool(const Rows&)>& each);

    Result<qint64> count() const;
    // Where the row with this key stands as shown, counted by the database
    // (no row before it is read); nullopt when it is not in the list.
    std::optional<qint64> rowOfKey(const QVariant& keyValue) const;

    // Counts and sums in one aggregate statement over the filtered rows.
    ListQuery footerStatement(const QStringList& sums) const;
    Result<ListFooter> footer(const QStringList& sums, const QStringList& money) const;
    // The figures of a row the footer statement answered.
    ListFooter footerOf(const Row& figures, const QStringList& sums,
                        const QStringList& money) const;

    // The distinct stored values of column in the rows the other filters
    // leave, in order, at most max + 1 of them (one statement that stops
    // there, so that an index on the column answers at once).
    ListQuery valuesStatement(const QString& column, int max) const;
    Result<QVariantList> values(const QString& column, int max) const;

private:
    struct Region {
        QString condition;
        QVariantList params;
    };
    QString sortColumn() const;
    bool ascending() const;
    QString orderBy(bool reversed) const;
    QList<Region> regionsFrom(const Row* boundary, bool backwards) const;
    Result<Rows> rowsAt(qint64 offset, int count) const;
    Result<Rows> read(const QString& sql, const QVariantList& params,
                      QSqlRecord* columns = nullptr) const;

    ListQuery m_query;
    QList<ValueFilter> m_filters;
    ListOrder m_order;
    QSqlRecord m_columns;
    const Dialect* m_dialect = &Dialect::of(Engine::Sqlite);
};

// The background reads of one list, at most one of each kind at a time: a
// read started while one of its kind runs retires the old one (stopped,
// and kept until its worker is done, never waited for on the window's
// thread), and so does a new statement (retireAll). A retired read never
// reports. Going away, the owner stops what still runs.
class ListReads {
public:
    enum Kind { Footer, Values, Kinds };
    using Done = std::function<void(const Result<ListReader::Rows>&)>;

    ListReads();
    ~ListReads();
    ListReads(const ListReads&) = delete;
    ListReads& operator=(const ListReads&) = delete;

    // Reads statement on a worker; done runs on receiver's thread, unless
    // the read is retired first or this owner is gone.
    void start(Kind kind, const ListQuery& statement, QObject* receiver, Done done);
    bool isRunning(Kind kind) const { return m_current[kind] != nullptr; }
    // The running read's rows, waited for; the read is done with (its done
    // does not run). nullopt when none runs.
    std::optional<Result<ListReader::Rows>> take(Kind kind);
    void retire(Kind kind);
    void retireAll();
    // Reads retired and not yet finished.
    int retiredCount();

private:
    // A read reports only while it is current here: retiring or taking it
    // silences it, and it goes with this owner.
    std::unique_ptr<BackgroundRead> m_current[Kinds];
    std::vector<std::unique_ptr<BackgroundRead>> m_retired;
};
