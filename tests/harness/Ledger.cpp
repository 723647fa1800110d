#include "Ledger.h"

#include <QFile>
#include <functional>

namespace Ledger {

namespace {

const QStringList RecordTables = {QStringLiteral("销售记录"), QStringLiteral("出租记录"),
                                  QStringLiteral("退货记录"), QStringLiteral("收入记录"),
                                  QStringLiteral("会员库"),   QStringLiteral("管理员日志"),
                                  QStringLiteral("进货记录")};

Status readInto(Values& values, const Db& db, const QString& sql,
                const std::function<void(Values&, Rows&)>& take) {
    auto rows = db.select(sql);
    if (!rows)
        return Error{rows.error()};
    while (rows.value().next())
        take(values, rows.value());
    return {};
}

// The fields of each record table that say what was booked.
enum class Field { Text, Amount, Count };
struct Shape {
    QString table;
    QList<std::pair<QString, Field>> fields;
};
const QList<Shape>& shapes() {
    using F = Field;
    static const QList<Shape> all = {
        {QStringLiteral("收入记录"),
         {{QStringLiteral("项目"), F::Text},
          {QStringLiteral("金额"), F::Amount},
          {QStringLiteral("会员卡号"), F::Text},
          {QStringLiteral("管理员"), F::Text}}},
        {QStringLiteral("销售记录"),
         {{QStringLiteral("管理员"), F::Text},
          {QStringLiteral("条形码"), F::Text},
          {QStringLiteral("商品id"), F::Text},
          {QStringLiteral("定价"), F::Amount},
          {QStringLiteral("销售单价"), F::Amount},
          {QStringLiteral("数量"), F::Count},
          {QStringLiteral("折扣"), F::Amount},
          {QStringLiteral("合计"), F::Amount},
          {QStringLiteral("会员卡号"), F::Text},
          {QStringLiteral("支付方式"), F::Text}}},
        {QStringLiteral("出租记录"),
         {{QStringLiteral("出租经手人"), F::Text},
          {QStringLiteral("条形码"), F::Text},
          {QStringLiteral("押金"), F::Amount},
          {QStringLiteral("每日租金"), F::Amount},
          {QStringLiteral("会员卡号"), F::Text},
          {QStringLiteral("已还"), F::Text},
          {QStringLiteral("天数"), F::Count},
          {QStringLiteral("实收租金"), F::Amount},
          {QStringLiteral("支付方式"), F::Text},
          {QStringLiteral("归还经手人"), F::Text}}},
        {QStringLiteral("退货记录"),
         {{QStringLiteral("管理员"), F::Text},
          {QStringLiteral("销售记录id"), F::Count},
          {QStringLiteral("商品id"), F::Text},
          {QStringLiteral("条形码"), F::Text},
          {QStringLiteral("数量"), F::Count},
          {QStringLiteral("退还金额"), F::Amount},
          {QStringLiteral("会员卡号"), F::Text},
          {QStringLiteral("退还方式"), F::Text}}},
        {QStringLiteral("进货记录"),
         {{QStringLiteral("管理员"), F::Text},
          {QStringLiteral("条形码"), F::Text},
          {QStringLiteral("定价"), F::Amount},
          {QStringLiteral("进货单价"), F::Amount},
          {QStringLiteral("进货数量"), F::Count},
          {QStringLiteral("折扣"), F::Amount},
          {QStringLiteral("总金额"), F::Amount}}},
        {QStringLiteral("管理员日志"),
         {{QStringLiteral("管理员"), F::Text},
          {QStringLiteral("事件"), F::Text},
          {QStringLiteral("说明"), F::Text}}},
    };
    return all;
}

Status readRecords(Values& values, const Db& db, const Shape& shape) {
    QStringList columns;
    for (const auto& field : shape.fields)
        columns << Db::quoted(field.first);
    auto rows = db.select(u"select " + columns.join(u", ") + u" from " + Db::quoted(shape.table));
    if (!rows)
        return Error{rows.error()};
    QStringList fields;
    while (rows.value().next()) {
        fields.clear();
        for (const auto& [column, kind] : shape.fields) {
            if (rows.value().isNull(column))
                fields << QString();
            else if (kind == Field::Amount)
                fields << units(rows.value().money(column));
            else if (kind == Field::Count)
                fields << QString::number(rows.value().integer(column));
            else
                fields << rows.value().text(column);
        }
        ++values[rowKey(shape.table, fields)];
    }
    return {};
}

} // namespace

QString units(Money amount) {
    return QString::number(amount.units());
}

QString rowKey(const QString& table, const QStringList& fields) {
    // the journal splits its lines at blanks and "=": they are escaped
    QString key = u"row:" + table;
    for (const QString& field : fields) {
        QString f = field;
        f.replace(u'%', QStringLiteral("%25"))
            .replace(u' ', QStringLiteral("%20"))
            .replace(u'=', QStringLiteral("%3D"))
            .replace(u'|', QStringLiteral("%7C"))
            .replace(u'\n', QStringLiteral("%0A"));
        key += u'|' + (f.isEmpty() ? QStringLiteral("-") : f);
    }
    return key;
}

Result<Values> read(const Db& db) {
    Values v;
    Status s =
        readInto(v, db, QStringLiteral("select 商品id, 库存 from 销售库"), [](Values& v, Rows& r) {
            v[u"stock:" + r.text(QStringLiteral("商品id"))] = r.integer(QStringLiteral("库存"));
        });
    if (!s)
        return Error{s.error()};
    s = readInto(v, db, QStringLiteral("select 会员卡号, 卡内金额, 会员积分 from 会员库"),
                 [](Values& v, Rows& r) {
                     const QString card = r.text(QStringLiteral("会员卡号"));
                     v[u"balance:" + card] = r.money(QStringLiteral("卡内金额")).units();
                     v[u"points:" + card] = r.money(QStringLiteral("会员积分")).units();
                 });
    if (!s)
        return Error{s.error()};
    s = readInto(v, db, QStringLiteral("select 条形码, 状态 from 出租库"), [](Values& v, Rows& r) {
        v[u"out:" + r.text(QStringLiteral("条形码"))] = r.text(QStringLiteral("状态")) != u"待租";
    });
    if (!s)
        return Error{s.error()};
    s = readInto(v, db, QStringLiteral("select 出租单号, 销售单号 from 系统信息"),
                 [](Values& v, Rows& r) {
                     v[QStringLiteral("counter:rent")] = r.integer(QStringLiteral("出租单号"));
                     v[QStringLiteral("counter:sale")] = r.integer(QStringLiteral("销售单号"));
                 });
    if (!s)
        return Error{s.error()};
    for (const QString& table : RecordTables) {
        auto n = db.scalarInteger(u"select count(*) from " + Db::quoted(table));
        if (!n)
            return Error{n.error()};
        v[u"rows:" + table] = n.value().value_or(0);
    }
    for (const Shape& shape : shapes())
        if (Status read = readRecords(v, db, shape); !read)
            return Error{read.error()};
    return v;
}

Values difference(const Values& from, const Values& to) {
    Values d;
    for (auto it = to.begin(); it != to.end(); ++it)
        if (it.value() != from.value(it.key()))
            d[it.key()] = it.value() - from.value(it.key());
    for (auto it = from.begin(); it != from.end(); ++it)
        if (!to.contains(it.key()) && it.value() != 0)
            d[it.key()] = -it.value();
    return d;
}

void add(Values& into, const Values& delta) {
    for (auto it = delta.begin(); it != delta.end(); ++it)
        into[it.key()] += it.value();
}

QStringList mismatches(const Values& expected, const Values& found) {
    QStringList out;
    QStringList keys = expected.keys() + found.keys();
    keys.removeDuplicates();
    for (const QString& key : keys)
        if (expected.value(key) != found.value(key))
            out << QStringLiteral("%1: expected %2, found %3")
                       .arg(key)
                       .arg(expected.value(key))
                       .arg(found.value(key));
    return out;
}

namespace {

// Each booking tags its rows with its own handler name, so two bookings
// under one number show as two tags.
Status numbering(const Db& db, QStringList& breaches, const QString& kind, const QString& table,
                 const QString& numberColumn, const QString& tagColumn,
                 const QString& counterColumn) {
    auto counter =
        db.scalarInteger(u"select " + Db::quoted(counterColumn) + u" from 系统信息 limit 1");
    if (!counter)
        return Error{counter.error()};
    const qint64 last = counter.value().value_or(0);
    auto rows = db.select(u"select " + Db::quoted(numberColumn) + u" as n, count(distinct " +
                          Db::quoted(tagColumn) + u") as tags from " + Db::quoted(table) +
                          u" group by " + Db::quoted(numberColumn));
    if (!rows)
        return Error{rows.error()};
    QList<bool> seen(last + 1, false);
    while (rows.value().next()) {
        bool isNumber = false;
        const qint64 n = rows.value().text(QStringLiteral("n")).toLongLong(&isNumber);
        if (!isNumber || n < 1 || n > last) {
            breaches << QStringLiteral("%1 order number %2 outside 1..%3")
                            .arg(kind, rows.value().text(QStringLiteral("n")))
                            .arg(last);
            continue;
        }
        seen[n] = true;
        if (rows.value().integer(QStringLiteral("tags")) > 1)
            breaches
                << QStringLiteral("%1 order number %2 used by several bookings").arg(kind).arg(n);
    }
    for (qint64 n = 1; n <= last; ++n)
        if (!seen[n])
            breaches << QStringLiteral("%1 order number %2 missing (gap)").arg(kind).arg(n);
    return {};
}

} // namespace

Result<QStringList> invariants(const Db& db) {
    QStringList breaches;
    if (Status s = numbering(db, breaches, QStringLiteral("rent"), QStringLiteral("出租记录"),
                             QStringLiteral("出租单号"), QStringLiteral("出租经手人"),
                             QStringLiteral("出租单号"));
        !s)
        return Error{s.error()};
    if (Status s = numbering(db, breaches, QStringLiteral("sale"), QStringLiteral("销售记录"),
                             QStringLiteral("销售单号"), QStringLiteral("管理员"),
                             QStringLiteral("销售单号"));
        !s)
        return Error{s.error()};
    auto twice = db.select(QStringLiteral(
        "select 条形码, count(*) as n from 出租记录 where 已还 = '否' group by 条形码 "
        "having count(*) > 1"));
    if (!twice)
        return Error{twice.error()};
    while (twice.value().next())
        breaches << QStringLiteral("copy %1 has %2 open rents")
                        .arg(twice.value().text(QStringLiteral("条形码")))
                        .arg(twice.value().integer(QStringLiteral("n")));
    auto status = db.select(QStringLiteral(
        "select c.条形码, c.状态, (select count(*) from 出租记录 r where r.条形码 = c.条形码 "
        "and r.已还 = '否') as n from 出租库 c"));
    if (!status)
        return Error{status.error()};
    while (status.value().next()) {
        const bool out = status.value().text(QStringLiteral("状态")) != u"待租";
        const qint64 open = status.value().integer(QStringLiteral("n"));
        if (out != (open == 1))
            breaches << QStringLiteral("copy %1 is %2 with %3 open rents")
                            .arg(status.value().text(QStringLiteral("条形码")),
                                 status.value().text(QStringLiteral("状态")))
                            .arg(open);
    }
    if (db.engine() == Engine::Sqlite) {
        auto check = db.select(QStringLiteral("pragma integrity_check"));
        if (!check)
            return Error{check.error()};
        QStringList said;
        while (check.value().next())
            said << check.value().query().value(0).toString();
        if (said != QStringList{QStringLiteral("ok")})
            breaches << u"integrity_check: " + said.join(u"; ");
    }
    return breaches;
}

QString intentLine(const QString& kind, const Values& delta) {
    QString line = u"I " + kind;
    for (auto it = delta.begin(); it != delta.end(); ++it)
        line += u' ' + it.key() + u'=' + QString::number(it.value());
    return line;
}

Result<Journal> readJournal(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error{u"cannot read the journal " + path};
    Journal j;
    // A process killed while writing leaves its last line without an end:
    // that booking had not started yet.
    QList<QByteArray> lines = file.readAll().split('\n');
    lines.removeLast();
    bool unknown = false; // the in-flight booking was told "outcome unknown"
    for (const QByteArray& bytes : lines) {
        const QString line = QString::fromUtf8(bytes);
        const QChar tag = line.isEmpty() ? QChar() : line[0];
        if (line.startsWith(u"I ")) {
            if (j.inFlight)
                return Error{u"two bookings without outcome in " + path};
            j.inFlight = true;
            j.inFlightDelta.clear();
            const QStringList parts = line.split(u' ');
            for (qsizetype i = 2; i < parts.size(); ++i) {
                const qsizetype eq = parts[i].lastIndexOf(u'=');
                if (eq < 0)
                    return Error{u"bad journal line: " + line};
                j.inFlightDelta[parts[i].left(eq)] += parts[i].mid(eq + 1).toLongLong();
            }
        } else if (line == u"C" && j.inFlight && !unknown) {
            add(j.committed, j.inFlightDelta);
            ++j.commits;
            j.inFlight = false;
        } else if ((tag == u'R' || tag == u'X' || tag == u'L') && j.inFlight && !unknown) {
            ++j.refusals;
            j.inFlight = false;
            j.lastRefusedDelta = j.inFlightDelta;
            j.lastRefusal = line.mid(2);
            if (tag == u'L')
                ++j.lost;
            if (tag == u'X')
                j.breaches << u"refused for no reason: " + line.mid(2);
        } else if (tag == u'U' && j.inFlight) {
            unknown = true; // stays in flight: whole or not at all
        } else if (tag == u'S') {
            j.breaches << u"stalled: " + line.mid(2);
        } else if (!line.isEmpty()) {
            return Error{u"bad journal line: " + line};
        }
    }
    return j;
}

} // namespace Ledger
