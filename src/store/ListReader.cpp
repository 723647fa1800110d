#include "store/ListReader.h"

#include "store/BackgroundRead.h"
#include "store/Db.h"

#include <algorithm>
#include <limits>

namespace {

QString wrapped(const QString& sql) {
    // a statement written to run alone may end in a semicolon
    QString inner = sql.trimmed();
    while (inner.endsWith(u';'))
        inner.chop(1);
    return QStringLiteral("(%1) as t").arg(inner);
}

QString direction(bool ascending) {
    return ascending ? QStringLiteral(" asc") : QStringLiteral(" desc");
}

} // namespace

// ---------------------------------------------------------------- ListReader

void ListReader::setQuery(ListQuery query) {
    m_query = std::move(query);
    m_filters.clear();
    m_order = {};
    m_columns = {};
}

QString ListReader::sortColumn() const {
    if (!m_order.column.isEmpty())
        return m_order.column;
    return m_query.key.isEmpty() ? QString() : m_query.order;
}

bool ListReader::ascending() const {
    return m_order.column.isEmpty() ? !m_query.descending : m_order.ascending;
}

QString ListReader::orderBy(bool reversed) const {
    const QString sort = sortColumn();
    const bool up = ascending() != reversed;
    QStringList keys;
    if (!sort.isEmpty())
        keys << Db::quoted(sort) + direction(up);
    if (!m_query.key.isEmpty()) {
        // ties go the sort's way, so that the reversed order is the exact reverse
        keys << Db::quoted(m_query.key) + direction(up);
    } else if (!sort.isEmpty()) {
        // pages read with limit and offset must see one fixed order (a sort
        // with a limit may order ties differently from one without)
        for (int c = 1; c <= m_columns.count(); ++c)
            keys << QString::number(c) + direction(!reversed);
    }
    return keys.isEmpty() ? QString() : QStringLiteral(" order by ") + keys.join(u", ");
}

ListQuery ListReader::filteredQuery(const QString& except) const {
    ListQuery filtered = m_query;
    QStringList conditions;
    for (const ValueFilter& filter : m_filters) {
        if (filter.column == except)
            continue;
        if (filter.value.isNull()) {
            conditions << QStringLiteral("%1 is null").arg(Db::quoted(filter.column));
        } else {
            conditions << QStringLiteral("%1 = ?").arg(Db::quoted(filter.column));
            filtered.params << filter.value;
        }
    }
    if (!conditions.isEmpty())
        filtered.sql = QStringLiteral("select * from %1 where %2")
                           .arg(wrapped(m_query.sql), conditions.join(QStringLiteral(" and ")));
    return filtered;
}

ListQuery ListReader::shownQuery() const {
    ListQuery shown = filteredQuery();
    const QString order = orderBy(false);
    if (!order.isEmpty())
        shown.sql = QStringLiteral("select * from %1%2").arg(wrapped(shown.sql), order);
    if (!m_query.key.isEmpty()) {
        // a reader over the shown rows orders them the same way
        shown.order = sortColumn();
        shown.descending = !ascending();
    }
    return shown;
}

Result<ListReader::Rows> ListReader::read(const QString& sql, const QVariantList& params,
                                          QSqlRecord* columns) const {
    auto rows = Db(m_query.connectionName).select(sql, params);
    if (!rows)
        return Error{rows.error()};
    if (columns)
        *columns = rows.value().record();
    return rows.value().remaining();
}

Result<ListReader::Rows> ListReader::first(int count) {
    const Db db(m_query.connectionName);
    if (!db.isOpen())
        return Error{QStringLiteral("数据库没有连接")};
    const QString filtered = wrapped(filteredQuery().sql);
    const QVariantList params = filteredQuery().params;
    QSqlRecord columns;
    if (m_columns.isEmpty() && m_query.key.isEmpty() && !sortColumn().isEmpty()) {
        // a sort without a key orders by every column: they are learnt first
        auto learnt =
            read(QStringLiteral("select * from %1 limit 0").arg(filtered), params, &columns);
        if (!learnt)
            return learnt;
        m_columns = columns;
    }
    auto rows = read(QStringLiteral("select * from %1%2 limit ?").arg(filtered, orderBy(false)),
                     params + QVariantList{count}, &columns);
    if (!rows)
        return rows;
    m_columns = columns;
    m_columns.clearValues();
    m_dialect = &db.dialect();
    return rows;
}

bool ListReader::isKeyed() const {
    return !m_query.key.isEmpty() && m_columns.indexOf(m_query.key) >= 0 &&
           (sortColumn().isEmpty() || m_columns.indexOf(sortColumn()) >= 0);
}

Result<ListReader::Rows> ListReader::page(int page, int size) const {
    return rowsAt(qint64(page) * size, size);
}

Result<ListReader::Rows> ListReader::rowsAt(qint64 offset, int count) const {
    const ListQuery filtered = filteredQuery();
    // the same text for every page: the connection keeps it prepared
    return read(QStringLiteral("select * from %1%2 limit ? offset ?")
                    .arg(wrapped(filtered.sql), orderBy(false)),
                filtered.params + QVariantList{count, offset});
}

QList<ListReader::Region> ListReader::regionsFrom(const Row* boundary, bool backwards) const {
    // A sorted column's empty values sort together at one end, so they are a
    // region of their own; each region is one condition an index can serve.
    const QString key = Db::quoted(m_query.key);
    const QString shownSort = sortColumn();
    const QString sort = shownSort.isEmpty() ? QString() : Db::quoted(shownSort);
    const bool up = ascending() != backwards;
    const QString after = up ? QStringLiteral(">") : QStringLiteral("<");
    const QVariant boundaryKey =
        boundary ? boundary->at(m_columns.indexOf(m_query.key)) : QVariant();
    if (sort.isEmpty()) {
        if (!boundary)
            return {{QStringLiteral("1 = 1"), {}}};
        return {{key + after + u'?', {boundaryKey}}};
    }
    const QVariant boundarySort =
        boundary ? boundary->at(m_columns.indexOf(shownSort)) : QVariant();
    const bool nullsFirst = m_dialect->sortsNullsFirst() == up;
    const bool inNulls = boundary && boundarySort.isNull();
    const Region nulls =
        inNulls
            ? Region{QStringLiteral("%1 is null and %2%3?").arg(sort, key, after), {boundaryKey}}
            : Region{sort + QStringLiteral(" is null"), {}};
    const Region values =
        !boundary || inNulls
            ? Region{sort + QStringLiteral(" is not null"), {}}
            : Region{QStringLiteral("%1 %2= ? and (%1 %2 ? or %3 %2 ?)").arg(sort, after, key),
                     {boundarySort, boundarySort, boundaryKey}};
    // the region the boundary is in, then the one after it, if any
    const bool startInNulls = boundary ? inNulls : nullsFirst;
    if (startInNulls != nullsFirst)
        return {startInNulls ? nulls : values};
    return startInNulls ? QList<Region>{nulls, values} : QList<Region>{values, nulls};
}

Result<ListReader::Rows> ListReader::from(const Row* boundary, bool backwards, int count) const {
    const ListQuery filtered = filteredQuery();
    const QString base = QStringLiteral("select * from %1 where ").arg(wrapped(filtered.sql));
    const QString order = orderBy(backwards);
    Rows rows;
    for (const Region& region : regionsFrom(boundary, backwards)) {
        if (rows.size() >= count)
            break;
        auto part = read(base + region.condition + order + QStringLiteral(" limit ?"),
                         filtered.params + region.params + QVariantList{count - rows.size()});
        if (!part)
            return part;
        rows += part.value();
    }
    if (backwards)
        std::reverse(rows.begin(), rows.end());
    return rows;
}

Status ListReader::forEach(int size, const std::function<bool(const Rows&)>& each) {
    if (m_columns.isEmpty()) {
        if (auto learnt = first(0); !learnt)
            return Error{learnt.error()};
    }
    Row last;
    qint64 offset = 0;
    for (int count = size;;) {
        auto rows =
            isKeyed() ? from(offset > 0 ? &last : nullptr, false, count) : rowsAt(offset, count);
        if (!rows)
            return Error{rows.error()};
        if (!rows.value().isEmpty() && !each(rows.value()))
            return {};
        if (rows.value().size() < count)
            return {};
        last = rows.value().last();
        offset += count;
        // by position every page skips the rows before it again: pages grow
        // so that a long list is not read over and over
        if (!isKeyed())
            count = int(qMin<qint64>(qint64(count) * 2, qint64(size) * 16));
    }
}

Result<qint64> ListReader::count() const {
    const ListQuery filtered = filteredQuery();
    auto counted =
        Db(m_query.connectionName)
            .scalarInteger(QStringLiteral("select count(*) from %1").arg(wrapped(filtered.sql)),
                           filtered.params);
    if (!counted)
        return Error{counted.error()};
    return counted.value().value_or(0);
}

std::optional<qint64> ListReader::rowOfKey(const QVariant& keyValue) const {
    if (!isKeyed())
        return std::nullopt;
    const ListQuery filtered = filteredQuery();
    // the row itself, then how many rows come before it as shown
    auto found = read(QStringLiteral("select * from %1 where %2 = ?")
                          .arg(wrapped(filtered.sql), Db::quoted(m_query.key)),
                      filtered.params + QVariantList{keyValue});
    if (!found || found.value().isEmpty())
        return std::nullopt;
    const Db db(m_query.connectionName);
    qint64 before = 0;
    for (const Region& region : regionsFrom(&found.value().first(), true)) {
        auto counted = db.scalarInteger(QStringLiteral("select count(*) from %1 where %2")
                                            .arg(wrapped(filtered.sql), region.condition),
                                        filtered.params + region.params);
        if (!counted)
            return std::nullopt;
        before += counted.value().value_or(0);
    }
    return before;
}

ListQuery ListReader::footerStatement(const QStringList& sums) const {
    ListQuery footer = filteredQuery();
    QStringList figures{QStringLiteral("count(*)")};
    for (const QString& column : sums)
        figures << QStringLiteral("sum(%1)").arg(Db::quoted(column));
    footer.sql = QStringLiteral("select %1 from %2")
                     .arg(figures.join(QStringLiteral(", ")), wrapped(footer.sql));
    return footer;
}

ListFooter ListReader::footerOf(const Row& figures, const QStringList& sums,
                                const QStringList& money) const {
    ListFooter footer;
    footer.count = figures.value(0).toLongLong();
    for (int i = 0; i < sums.size(); ++i) {
        const QVariant sum = figures.value(i + 1);
        // a sum beyond what an amount holds reads "溢出", never a wrapped figure
        bool whole = true;
        const qint64 count = sum.isNull() ? 0 : sum.toLongLong(&whole);
        footer.sums[sums[i]] = money.contains(sums[i]) ? m_dialect->decodeMoney(sum)
                               : whole                 ? Money::fromInt(count)
                                                       : Money::overflow();
    }
    return footer;
}

Result<ListFooter> ListReader::footer(const QStringList& sums, const QStringList& money) const {
    const ListQuery statement = footerStatement(sums);
    auto rows = read(statement.sql, statement.params);
    if (!rows)
        return Error{rows.error()};
    return rows.value().isEmpty() ? ListFooter{} : footerOf(rows.value().first(), sums, money);
}

ListQuery ListReader::valuesStatement(const QString& column, int max) const {
    ListQuery values = filteredQuery(column);
    values.sql = QStringLiteral("select distinct %1 from %2 order by %1 limit ?")
                     .arg(Db::quoted(column), wrapped(values.sql));
    values.params << max + 1;
    return values;
}

Result<QVariantList> ListReader::values(const QString& column, int max) const {
    const ListQuery statement = valuesStatement(column, max);
    auto rows = read(statement.sql, statement.params);
    if (!rows)
        return Error{rows.error()};
    QVariantList values;
    for (const Row& row : rows.value())
        values << row.value(0);
    return values;
}

// ----------------------------------------------------------------- ListReads

ListReads::ListReads() = default;

ListReads::~ListReads() {
    // closing a long list does not wait for its sums: every read still
    // running is stopped first, so that waiting for the workers is short
    for (auto& read : m_current)
        if (read)
            read->cancel();
    for (auto& read : m_retired)
        read->cancel();
}

void ListReads::start(Kind kind, const ListQuery& statement, QObject* receiver, Done done) {
    retire(kind);
    // runs only while the read is the current one of its kind (see retire
    // and take), so this owner and the read are still there
    m_current[kind] =
        BackgroundRead::start(statement.connectionName, statement.sql, statement.params, receiver,
                              [this, kind, done = std::move(done)] {
                                  const std::unique_ptr<BackgroundRead> read =
                                      std::exchange(m_current[kind], nullptr);
                                  if (read)
                                      done(read->result());
                              });
}

std::optional<Result<ListReader::Rows>> ListReads::take(Kind kind) {
    const std::unique_ptr<BackgroundRead> read = std::exchange(m_current[kind], nullptr);
    if (!read)
        return std::nullopt;
    read->silence();
    return read->result();
}

void ListReads::retire(Kind kind) {
    // a read no longer wanted is silenced and stopped, and kept until its
    // worker is done: waiting for it here would hold the window up
    std::unique_ptr<BackgroundRead> read = std::exchange(m_current[kind], nullptr);
    if (read) {
        read->silence();
        if (!read->isFinished()) {
            read->cancel();
            m_retired.push_back(std::move(read));
        }
    }
    (void)retiredCount();
}

void ListReads::retireAll() {
    for (int kind = 0; kind < Kinds; ++kind)
        retire(Kind(kind));
}

int ListReads::retiredCount() {
    std::erase_if(m_retired, [](const auto& old) { return old->isFinished(); });
    return int(m_retired.size());
}
