#include "store/Db.h"

#include "store/Clock.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>

namespace {

QString errorText(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    return text;
}

} // namespace

// ---- Rows ----------------------------------------------------------------

QVariant Rows::value(const QString& column) const {
    return m_query.value(column);
}

bool Rows::isNull(const QString& column) const {
    return m_query.isNull(column);
}

QString Rows::text(const QString& column) const {
    const QVariant v = m_query.value(column);
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
    return m_query.value(column).toLongLong();
}

Money Rows::money(const QString& column) const {
    return m_dialect->decodeMoney(m_query.value(column));
}

QDateTime Rows::dateTime(const QString& column) const {
    const QVariant v = m_query.value(column);
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
    const QVariant v = m_query.value(column);
    if (v.typeId() == QMetaType::QString)
        return v.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
               v.toString() == QLatin1String("1");
    return v.toBool();
}

QByteArray Rows::bytes(const QString& column) const {
    return m_query.value(column).toByteArray();
}

// ---- Db ------------------------------------------------------------------

Db::Db(QString connectionName) : m_name(std::move(connectionName)) {}

QSqlDatabase Db::handle() const {
    return QSqlDatabase::database(m_name, false);
}

Engine Db::engine() const {
    return handle().driverName() == QLatin1String("QPSQL") ? Engine::Postgres : Engine::Sqlite;
}

bool Db::isOpen() const {
    return handle().isOpen();
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

Result<QSqlQuery> Db::run(const QString& sql, const QVariantList& params) const {
    QSqlDatabase db = handle();
    if (!db.isOpen())
        return Error{QStringLiteral("数据库没有连接")};
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (params.isEmpty()) {
        // Statements without values run as they are (PostgreSQL cannot
        // prepare BEGIN, COMMIT or SET).
        if (!query.exec(sql))
            return Error{errorText(query.lastError())};
        return query;
    }
    if (!query.prepare(sql))
        return Error{errorText(query.lastError())};
    for (const QVariant& param : params)
        query.addBindValue(toSql(param));
    if (!query.exec())
        return Error{errorText(query.lastError())};
    return query;
}

Result<Rows> Db::select(const QString& sql, const QVariantList& params) const {
    auto query = run(sql, params);
    if (!query)
        return Error{query.error()};
    return Rows(std::move(query.value()), dialect());
}

Result<qint64> Db::exec(const QString& sql, const QVariantList& params) const {
    auto query = run(sql, params);
    if (!query)
        return Error{query.error()};
    return qint64(query.value().numRowsAffected());
}

Result<qint64> Db::insert(const QString& sql, const QVariantList& params,
                          const QString& identityColumn) const {
    if (const QString returning = dialect().returningKey(identityColumn); !returning.isEmpty()) {
        auto query = run(sql + returning, params);
        if (!query)
            return Error{query.error()};
        if (!query.value().next())
            return Error{QStringLiteral("插入没有返回新行")};
        return query.value().value(0).toLongLong();
    }
    auto query = run(sql, params);
    if (!query)
        return Error{query.error()};
    return query.value().lastInsertId().toLongLong();
}

Result<std::optional<qint64>> Db::scalarInteger(const QString& sql,
                                                const QVariantList& params) const {
    auto query = run(sql, params);
    if (!query)
        return Error{query.error()};
    if (!query.value().next() || query.value().isNull(0))
        return std::optional<qint64>();
    return std::optional<qint64>(query.value().value(0).toLongLong());
}

Result<Money> Db::scalarMoney(const QString& sql, const QVariantList& params) const {
    auto query = run(sql, params);
    if (!query)
        return Error{query.error()};
    if (!query.value().next())
        return Money();
    return moneyFrom(query.value().value(0));
}

Result<qint64> Db::addTo(const QString& table, const QString& column, const QVariant& delta,
                         const QString& keyColumn, const QVariant& keyValue) const {
    const QString c = quoted(column);
    return exec(QStringLiteral("update %1 set %2 = COALESCE(%2, 0) + ? where %3 = ?")
                    .arg(quoted(table), c, quoted(keyColumn)),
                {delta, keyValue});
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

QString Db::containsCondition(const QString& quotedColumn) const {
    return dialect().containsCondition(quotedColumn);
}

QString Db::containsPattern(const QString& typed) {
    return Dialect::containsPattern(typed);
}

Status Db::inTransaction(const std::function<Status()>& work) const {
    Transaction transaction(*this);
    if (!transaction.started())
        return transaction.started();
    Status outcome = work();
    if (!outcome) {
        transaction.rollback();
        return outcome;
    }
    return transaction.commit();
}

// ---- Transaction ---------------------------------------------------------

Transaction::Transaction(const Db& db) : m_db(db) {
    auto done = db.exec(db.dialect().beginTransaction());
    if (!done)
        m_started = Error{done.error()};
    else
        m_open = true;
}

Transaction::~Transaction() {
    rollback();
}

Status Transaction::commit() {
    if (!m_open)
        return Error{QStringLiteral("事务没有开始")};
    auto done = m_db.exec(QStringLiteral("COMMIT"));
    if (!done) {
        rollback();
        return Error{done.error()};
    }
    m_open = false;
    return {};
}

void Transaction::rollback() {
    if (!m_open)
        return;
    m_open = false;
    (void)m_db.exec(QStringLiteral("ROLLBACK"));
}
