#include "shop-admin/core/LargeSample.h"

#include "shop-admin/core/SampleData.h"
#include "store/Clock.h"
#include "store/Pinyin.h"
#include "store/TextSearch.h"

// The rows are made by the database itself: one INSERT ... SELECT for each
// million rows of a table, over a series of integers, joined to two small
// temporary tables of titles and names. Every value is worked out from the
// row's number, so the same scale gives the same shop on either engine. The
// indexes and triggers of the filled tables are dropped for the load and made
// again from their own definitions afterwards (sorting once is far cheaper
// than keeping ten million random keys in order row by row).
namespace {

const char* const Adjectives[] = {"红色", "遥远", "寂静", "春天", "江南", "大漠", "星空",
                                  "午夜", "海边", "古城", "长安", "青春", "平凡", "温暖",
                                  "秘密", "最后", "美丽", "孤独", "漫长", "无声"};
const char* const Nouns[] = {"故事", "旅程", "传说", "世界", "记忆", "花园", "河流",
                             "战争", "少年", "人生", "王朝", "密码", "侦探", "英雄",
                             "风云", "岁月", "家园", "列车", "诗篇", "剑客"};
const char* const Surnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵",
                                "吴", "周", "徐", "孙", "马", "朱", "胡", "郭"};
const char* const Given[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊",   "军", "洋",
                             "勇", "艳", "杰", "娟", "涛", "明", "超", "秀英", "华", "平"};

constexpr int TitleCount = 20 * 20 * 9;
constexpr int NameCount = 16 * 20;
constexpr qint64 RowsPerTransaction = 1000000;

using Progress = std::function<void(const QString&, qint64)>;

Status run(const Db& db, const QString& sql, const QVariantList& params = {}) {
    auto done = db.exec(sql, params);
    if (!done)
        return Error{done.error()};
    return {};
}

// Titles "江南故事3" with their search codes (k = (adjective * 20 + noun) * 9 +
// volume - 1) and people's names (k = surname + 16 * given name).
Status makeWordTables(const Db& db) {
    for (const QString& sql :
         {QStringLiteral("CREATE TEMP TABLE 样本书名 (k INTEGER PRIMARY KEY, 名称 TEXT, py TEXT)"),
          QStringLiteral("CREATE TEMP TABLE 样本姓名 (k INTEGER PRIMARY KEY, 姓名 TEXT)")}) {
        if (Status s = run(db, sql); !s)
            return s;
    }
    QVariantList titles;
    int k = 0;
    for (const char* adjective : Adjectives)
        for (const char* noun : Nouns)
            for (int volume = 1; volume <= 9; ++volume) {
                const QString name = QString::fromUtf8(adjective) + QString::fromUtf8(noun) +
                                     (volume > 1 ? QString::number(volume) : QString());
                titles << k++ << name << PinyinCode(name);
            }
    QVariantList names;
    for (int given = 0; given < 20; ++given)
        for (int surname = 0; surname < 16; ++surname)
            names << surname + 16 * given
                  << QString(QString::fromUtf8(Surnames[surname]) +
                             QString::fromUtf8(Given[given]));
    // in statements of 300 rows
    auto insert = [&](const QString& table, int columns, const QVariantList& values) -> Status {
        const QString one = u'(' + QStringList(columns, QStringLiteral("?")).join(u',') + u')';
        for (qsizetype at = 0; at < values.size(); at += 300 * columns) {
            const QVariantList part = values.mid(at, 300 * columns);
            const QString sql = QStringLiteral("INSERT INTO %1 VALUES %2")
                                    .arg(table, QStringList(part.size() / columns, one).join(u','));
            if (Status s = run(db, sql, part); !s)
                return s;
        }
        return {};
    };
    if (Status s = insert(QStringLiteral("样本书名"), 3, titles); !s)
        return s;
    return insert(QStringLiteral("样本姓名"), 2, names);
}

// One INSERT ... SELECT: the columns and the expression giving each.
QString insertSelect(const QString& table, const QList<std::pair<QString, QString>>& columns,
                     const QString& from) {
    QStringList names;
    QStringList values;
    for (const auto& [name, value] : columns) {
        names << Db::quoted(name);
        values << value;
    }
    return QStringLiteral("INSERT INTO %1(%2) SELECT %3 FROM %4")
        .arg(Db::quoted(table), names.join(u", "), values.join(u", "), from);
}

// Rows first..total-1 of a table, a million to a transaction.
Status load(const Db& db, const QString& table, qint64 total, const Progress& progress,
            const std::function<QString(qint64 first, qint64 last)>& statement) {
    for (qint64 from = 0; from < total; from += RowsPerTransaction) {
        const qint64 to = qMin(total, from + RowsPerTransaction);
        if (Status s = db.inTransaction([&] { return run(db, statement(from, to - 1)); }); !s)
            return Error{table + QStringLiteral(": ") + s.error()};
        if (progress)
            progress(table, to);
    }
    return {};
}

// SQL expressions of the row number.
QString text(const QString& literal) {
    return u'\'' + literal + u'\'';
}
// A well-mixed number from 0 to n - 1.
QString scatter(const QString& k, qint64 n) {
    return QStringLiteral("((%1) * 2654435761 % %2)").arg(k, QString::number(n));
}
QString cardOf(const QString& n) {
    return QStringLiteral("CAST(20000001 + (%1) AS TEXT)").arg(n);
}
// prefix and n + 1 in seven digits, as copyBarcode and itemBarcode
QString codeOf(char prefix, const QString& n) {
    return QStringLiteral("'%1' || CASE WHEN (%2) < 9999999 THEN substr(CAST(10000001 + (%2) AS "
                          "TEXT), 2) ELSE CAST((%2) + 1 AS TEXT) END")
        .arg(QString(QLatin1Char(prefix)), n);
}
// one of the texts by the number's remainder
QString pick(const QString& n, const QStringList& texts) {
    QString sql = QStringLiteral("CASE (%1) % %2").arg(n, QString::number(texts.size()));
    for (qsizetype at = 0; at + 1 < texts.size(); ++at)
        sql += QStringLiteral(" WHEN %1 THEN %2").arg(QString::number(at), text(texts[at]));
    return sql + QStringLiteral(" ELSE %1 END").arg(text(texts.last()));
}

} // namespace

namespace LargeSample {

Sizes sizesAt(double scale) {
    auto n = [scale](double full) { return qMax<qint64>(1, qint64(full * scale)); };
    return {n(1e6), n(2e5), n(1e6), n(1e7), n(5e6), n(5e6), n(5e4), n(2e5), n(5e4), n(1e5)};
}

QString copyBarcode(qint64 n) {
    return QStringLiteral("R%1").arg(n + 1, 7, 10, QLatin1Char('0'));
}
QString itemBarcode(qint64 n) {
    return QStringLiteral("S%1").arg(n + 1, 7, 10, QLatin1Char('0'));
}
QString memberCard(qint64 n) {
    return QStringLiteral("%1").arg(20000001 + n);
}
} // namespace LargeSample

namespace {

// The indexes and triggers of the tables a load fills: dropped before it,
// made again from their own definitions after it.
Result<QStringList> dropIndexes(const Db& db, const QStringList& tables) {
    QStringList remake;
    QStringList drop;
    for (const QString& table : tables) {
        auto rows = db.select(db.dialect().rebuildableIndexes(), {table});
        if (!rows)
            return Error{rows.error()};
        for (Rows& found = rows.value(); found.next();) {
            const QSqlQuery& q = found.query();
            drop << QStringLiteral("DROP %1 %2")
                        .arg(q.value(0).toString().toUpper(), Db::quoted(q.value(1).toString()));
            remake << q.value(2).toString();
        }
    }
    for (const QString& sql : drop) {
        if (Status s = run(db, sql); !s)
            return Error{s.error()};
    }
    return remake;
}

// Each index made again even when one fails; the first failure is reported.
// Progress counts the indexes and triggers made.
Status remakeIndexes(const Db& db, const QStringList& remake, const Progress& progress) {
    Status first;
    auto note = [&first](Status s) {
        if (!s && first)
            first = s;
    };
    qint64 made = 0;
    for (const QString& sql : remake) {
        note(run(db, sql));
        if (progress)
            progress(QStringLiteral("索引"), ++made);
    }
    for (const TextSearch::IndexedTable& indexed : TextSearch::indexedTables()) {
        const QString rebuild =
            db.dialect().rebuildTrigramIndex(TextSearch::ftsTable(indexed.table));
        if (!rebuild.isEmpty())
            note(run(db, rebuild));
    }
    return first;
}

} // namespace

namespace LargeSample {

Status fill(const Db& db, double scale, const Progress& progress) {
    if (!(scale > 0) || scale > 10)
        return Error{QStringLiteral("规模应在 0 到 10 之间")};
    if (Status s = SampleData::fill(db); !s)
        return s;
    const Sizes size = sizesAt(scale);
    const Dialect& sql = db.dialect();

    // moments as seconds since 1970 on the shop's clock
    const QDateTime clock = Clock::now();
    auto seconds = [](const QDateTime& moment) {
        return QDateTime(moment.date(), moment.time(), Qt::UTC).toSecsSinceEpoch();
    };
    const qint64 now = seconds(clock);
    const qint64 start = seconds(clock.addYears(-5));
    const qint64 span = now - start;
    // the k-th of n rows spread evenly over five years, within its hour
    auto spread = [&](const QString& k, qint64 n) {
        return QStringLiteral("%1 + %2 * (%3) / %4 + %5")
            .arg(QString::number(start), QString::number(span), k, QString::number(n),
                 scatter(k, 3600));
    };
    auto moment = [&](const QString& secs) { return sql.momentFromSeconds(secs); };
    auto day = [&](const QString& secs) { return sql.dayFromSeconds(secs); };
    auto amount = [&](const QString& units) { return sql.amountFromUnits(units); };
    auto yuan = [&](qint64 whole) { return amount(QString::number(whole * Money::Scale)); };
    auto series = [&](qint64 first, qint64 last) { return sql.integerSeries(first, last); };
    const QString admin = text(QStringLiteral("超级管理员"));
    const QStringList goodsTypes = {QStringLiteral("普通"), QStringLiteral("新片"),
                                    QStringLiteral("精装书")};
    const QString members = QString::number(size.members);
    const QString copies = QString::number(size.copies);
    const QString items = QString::number(size.saleItems);
    const QString titles = QString::number(TitleCount);
    const QString names = QString::number(NameCount);
    // one copy in twelve (numbers 5, 17, 29...) is out, to the member of its number
    const qint64 outCopies = (size.copies + 6) / 12;
    const qint64 returned = qMax<qint64>(0, size.rentRecords - outCopies);

    const QString i = QStringLiteral("n.i");
    // the rows of every table, in the order the small sample's numbering goes on
    auto loadAll = [&]() -> Status {
        Status s =
            load(db, QStringLiteral("会员库"), size.members, progress, [&](qint64 a, qint64 b) {
                return insertSelect(
                    QStringLiteral("会员库"),
                    {{"会员卡号", cardOf(i)},
                     {"会员姓名", QStringLiteral("p.姓名")},
                     {"会员类型", pick(i, {QStringLiteral("普通会员"), QStringLiteral("银卡会员"),
                                           QStringLiteral("金卡会员")})},
                     {"会员性别", pick(i, {QStringLiteral("男"), QStringLiteral("女")})},
                     {"卡内金额", amount(scatter(i, 5000) + QStringLiteral(" * 1000"))},
                     {"会员积分", amount(scatter(i + QStringLiteral(" + 7"), 900) +
                                         QStringLiteral(" * ") + QString::number(Money::Scale))},
                     {"登记日期", day(spread(i, size.members))},
                     {"联系方式",
                      QStringLiteral(
                          "'138' || substr(CAST(100000000 + n.i % 100000000 AS TEXT), 2)")},
                     {"状态", text(QStringLiteral("正常"))},
                     {"登记人", admin},
                     {"有效期", moment(QString::number(now) +
                                       QStringLiteral(" + (365 + n.i % 700) * 86400"))}},
                    series(a, b) + QStringLiteral(" JOIN 样本姓名 p ON p.k = n.i % ") + names);
            });
        if (!s)
            return s;

        s = load(db, QStringLiteral("出租库"), size.copies, progress, [&](qint64 a, qint64 b) {
            return insertSelect(
                QStringLiteral("出租库"),
                {{"条形码", codeOf('R', i)},
                 {"商品名称", QStringLiteral("t.名称")},
                 {"商品类型", pick(i, goodsTypes)},
                 {"py", QStringLiteral("t.py")},
                 {"定价",
                  amount(QStringLiteral("(15 + n.i % 80) * ") + QString::number(Money::Scale))},
                 {"作者", QStringLiteral("p.姓名")},
                 {"存放位置", pick(i, {QStringLiteral("碟片柜"), QStringLiteral("二楼书架")})},
                 {"出版社", text(QStringLiteral("人民文学出版社"))},
                 {"供应商", text(QStringLiteral("新华书店批发部"))},
                 {"状态", QStringLiteral("CASE WHEN n.i % 12 = 5 THEN %1 ELSE '待租' END")
                              .arg(cardOf(QStringLiteral("n.i % ") + members))},
                 {"借出次数", QStringLiteral("n.i % 40")},
                 {"登记日期", day(spread(i, size.copies))},
                 {"登记人", admin},
                 {"介质", QStringLiteral("CASE WHEN n.i % 3 = 1 THEN 'DVD' ELSE '图书' END")}},
                series(a, b) +
                    QStringLiteral(" JOIN 样本书名 t ON t.k = n.i % %1 JOIN 样本姓名 p ON "
                                   "p.k = n.i * 7 % %2")
                        .arg(titles, names));
        });
        if (!s)
            return s;

        // rents returned over five years, to scattered copies and members
        const QString days = QStringLiteral("(1 + %1)").arg(scatter(i, 7));
        const QString rented = spread(i, qMax<qint64>(1, returned));
        s = load(db, QStringLiteral("出租记录"), returned, progress, [&](qint64 a, qint64 b) {
            return insertSelect(
                QStringLiteral("出租记录"),
                {{"出租单号", QStringLiteral("CAST(n.i / 3 + 1 AS TEXT)")},
                 {"条形码", codeOf('R', QStringLiteral("n.copy"))},
                 {"商品名称", QStringLiteral("t.名称")},
                 {"py", QStringLiteral("t.py")},
                 {"押金", yuan(30)},
                 {"每日租金", yuan(1)},
                 {"会员卡号", cardOf(QStringLiteral("n.member"))},
                 {"会员姓名", QStringLiteral("p.姓名")},
                 {"出租日期", moment(rented)},
                 {"已还", text(QStringLiteral("是"))},
                 {"出租经手人", admin},
                 {"应还日期", moment(rented + QStringLiteral(" + 3 * 86400"))},
                 {"归还日期", moment(rented + QStringLiteral(" + 86400 * ") + days)},
                 {"天数", days},
                 {"实收租金", amount(days + QStringLiteral(" * ") + QString::number(Money::Scale))},
                 {"归还经手人", admin},
                 {"支付方式",
                  QStringLiteral("CASE WHEN n.i % 4 = 0 THEN '卡内扣除' ELSE '现金支付' END")}},
                QStringLiteral("(SELECT i, i * 7919 % %1 AS copy, i * 104729 % %2 AS member FROM "
                               "%3) AS n JOIN 样本书名 t ON t.k = n.copy % %4 JOIN 样本姓名 p ON "
                               "p.k = n.member % %5")
                    .arg(copies, members, series(a, b), titles, names));
        });
        if (!s)
            return s;

        // then one open rent for each copy out, within the last thirty days
        const QString out =
            QStringLiteral("%1 - %2").arg(QString::number(now), scatter(i, 30 * 86400));
        const Progress afterReturned = [&](const QString& table, qint64 rows) {
            if (progress)
                progress(table, returned + rows);
        };
        s = load(db, QStringLiteral("出租记录"), outCopies, afterReturned, [&](qint64 a, qint64 b) {
            return insertSelect(
                QStringLiteral("出租记录"),
                {{"出租单号", QStringLiteral("CAST((n.i + %1) / 3 + 1 AS TEXT)")
                                  .arg(QString::number(returned))},
                 {"条形码", codeOf('R', QStringLiteral("n.copy"))},
                 {"商品名称", QStringLiteral("t.名称")},
                 {"py", QStringLiteral("t.py")},
                 {"押金", yuan(30)},
                 {"每日租金", yuan(1)},
                 {"会员卡号", cardOf(QStringLiteral("n.copy % ") + members)},
                 {"会员姓名", QStringLiteral("p.姓名")},
                 {"出租日期", moment(out)},
                 {"已还", text(QStringLiteral("否"))},
                 {"出租经手人", admin},
                 {"应还日期", moment(out + QStringLiteral(" + 3 * 86400"))}},
                QStringLiteral("(SELECT i, i * 12 + 5 AS copy FROM %1) AS n JOIN 样本书名 t ON "
                               "t.k = n.copy % %2 JOIN 样本姓名 p ON p.k = n.copy % %3 % %4")
                    .arg(series(a, b), titles, members, names));
        });
        if (!s)
            return s;

        s = load(db, QStringLiteral("销售库"), size.saleItems, progress, [&](qint64 a, qint64 b) {
            return insertSelect(
                QStringLiteral("销售库"),
                {{"条形码", codeOf('S', i)},
                 {"商品名称", QStringLiteral("t.名称")},
                 {"py", QStringLiteral("t.py")},
                 {"商品类型", pick(i, goodsTypes)},
                 {"定价",
                  amount(QStringLiteral("(5 + n.i % 60) * ") + QString::number(Money::Scale))},
                 {"存放位置", text(QStringLiteral("店内"))},
                 {"介质", text(QStringLiteral("图书"))},
                 {"库存", QStringLiteral("1 + n.i % 40")}},
                series(a, b) + QStringLiteral(" JOIN 样本书名 t ON t.k = n.i * 31 % ") + titles);
        });
        if (!s)
            return s;

        // sales of scattered items to scattered members; the sample's own five
        // items come first, so item k is 商品id k + 6
        const QString price =
            QStringLiteral("(5 + n.item % 60) * ") + QString::number(Money::Scale);
        s = load(db, QStringLiteral("销售记录"), size.saleRecords, progress,
                 [&](qint64 a, qint64 b) {
                     return insertSelect(
                         QStringLiteral("销售记录"),
                         {{"销售单号", QStringLiteral("CAST(n.i / 2 + 2 AS TEXT)")},
                          {"条形码", codeOf('S', QStringLiteral("n.item"))},
                          {"商品名称", QStringLiteral("t.名称")},
                          {"定价", amount(price)},
                          {"销售单价", amount(price)},
                          {"数量", QStringLiteral("1 + n.i % 3")},
                          {"折扣", yuan(1)},
                          {"合计", amount(price + QStringLiteral(" * (1 + n.i % 3)"))},
                          {"商品id", QStringLiteral("CAST(n.item + 6 AS TEXT)")},
                          {"会员卡号", cardOf(QStringLiteral("n.member"))},
                          {"姓名", QStringLiteral("p.姓名")},
                          {"日期", moment(spread(i, size.saleRecords))},
                          {"支付方式", text(QStringLiteral("现金支付"))},
                          {"管理员", admin}},
                         QStringLiteral(
                             "(SELECT i, i * 7919 % %1 AS item, i * 104729 % %2 AS member FROM "
                             "%3) AS n JOIN 样本书名 t ON t.k = n.item * 31 % %4 JOIN 样本姓名 p "
                             "ON p.k = n.member % %5")
                             .arg(items, members, series(a, b), titles, names));
                 });
        if (!s)
            return s;

        s = load(
            db, QStringLiteral("收入记录"), size.incomeRows, progress, [&](qint64 a, qint64 b) {
                return insertSelect(
                    QStringLiteral("收入记录"),
                    {{"项目", pick(i, {QStringLiteral("租金"), QStringLiteral("商品销售"),
                                       QStringLiteral("充值"), QStringLiteral("押金")})},
                     {"金额",
                      amount(QStringLiteral("(1 + n.i % 100) * ") + QString::number(Money::Scale))},
                     {"日期", moment(spread(i, size.incomeRows))},
                     {"会员卡号", cardOf(QStringLiteral("n.member"))},
                     {"会员姓名", QStringLiteral("p.姓名")},
                     {"管理员", admin}},
                    QStringLiteral(
                        "(SELECT i, i * 104729 % %1 AS member FROM %2) AS n JOIN 样本姓名 p "
                        "ON p.k = n.member % %3")
                        .arg(members, series(a, b), names));
            });
        if (!s)
            return s;

        s = load(db, QStringLiteral("支出记录"), size.expenseRows, progress,
                 [&](qint64 a, qint64 b) {
                     return insertSelect(
                         QStringLiteral("支出记录"),
                         {{"项目", pick(i, {QStringLiteral("水电费"), QStringLiteral("房租")})},
                          {"金额", amount(QStringLiteral("(100 + n.i % 900) * ") +
                                          QString::number(Money::Scale))},
                          {"日期", moment(spread(i, size.expenseRows))},
                          {"姓名", text(QStringLiteral("物业"))},
                          {"管理员", admin}},
                         series(a, b));
                 });
        if (!s)
            return s;

        s = load(db, QStringLiteral("进货记录"), size.purchaseRows, progress,
                 [&](qint64 a, qint64 b) {
                     return insertSelect(
                         QStringLiteral("进货记录"),
                         {{"条形码", codeOf('S', QStringLiteral("n.item"))},
                          {"商品名称", QStringLiteral("t.名称")},
                          {"商品类型", pick(QStringLiteral("n.item"), goodsTypes)},
                          {"定价", amount(price)},
                          {"进货单价", amount(price + QStringLiteral(" * 7 / 10"))},
                          {"进货数量", QStringLiteral("10")},
                          {"折扣", amount(QStringLiteral("7000"))},
                          {"总金额", amount(price + QStringLiteral(" * 7"))},
                          {"进货日期", moment(spread(i, size.purchaseRows))},
                          {"供应商", text(QStringLiteral("新华书店批发部"))},
                          {"管理员", admin}},
                         QStringLiteral(
                             "(SELECT i, i % %1 AS item FROM %2) AS n JOIN 样本书名 t ON t.k = "
                             "n.item * 31 % %3")
                             .arg(items, series(a, b), titles));
                 });
        if (!s)
            return s;

        // one piece of every hundredth sale taken back on the day of the sale
        s = load(db, QStringLiteral("退货记录"), size.refundRows, progress,
                 [&](qint64 a, qint64 b) {
                     const QString sale = QStringLiteral("n.i");
                     return insertSelect(
                         QStringLiteral("退货记录"),
                         {{"销售单号", QStringLiteral("CAST(n.i / 2 + 2 AS TEXT)")},
                          {"商品id", QStringLiteral("CAST(n.item + 6 AS TEXT)")},
                          {"条形码", codeOf('S', QStringLiteral("n.item"))},
                          {"商品名称", QStringLiteral("t.名称")},
                          {"数量", QStringLiteral("1")},
                          {"退还金额", amount(price)},
                          {"日期", moment(spread(sale, size.saleRecords))},
                          {"会员卡号", cardOf(QStringLiteral("n.member"))},
                          {"姓名", QStringLiteral("p.姓名")},
                          {"管理员", admin},
                          {"销售记录id", QStringLiteral("n.i + 2")},
                          {"退还方式", text(QStringLiteral("现金"))}},
                         QStringLiteral(
                             "(SELECT i, i * 7919 % %1 AS item, i * 104729 % %2 AS member FROM "
                             "(SELECT CASE WHEN i * 100 < %3 THEN i * 100 ELSE %3 END AS i FROM "
                             "%4) AS r) AS n JOIN 样本书名 t ON t.k = n.item * 31 % %5 JOIN "
                             "样本姓名 p ON p.k = n.member % %6")
                             .arg(items, members, QString::number(size.saleRecords - 1),
                                  series(a, b), titles, names));
                 });
        if (!s)
            return s;

        s = load(db, QStringLiteral("管理员日志"), size.logRows, progress, [&](qint64 a, qint64 b) {
            return insertSelect(QStringLiteral("管理员日志"),
                                {{"事件", text(QStringLiteral("登录"))},
                                 {"日期", moment(spread(i, size.logRows))},
                                 {"管理员", admin}},
                                series(a, b));
        });
        if (!s)
            return s;

        return db.inTransaction([&]() -> Status {
            return run(db, QStringLiteral("update 系统信息 set 出租单号 = ?, 销售单号 = ?"),
                       {size.rentRecords / 3 + 1, size.saleRecords / 2 + 2});
        });
    };

    // the connection's settings for the load, put back afterwards
    QList<std::pair<QString, QString>> restore;
    for (const Dialect::Setting& setting : sql.bulkLoadSettings()) {
        auto rows = db.select(sql.readSetting(setting.name));
        if (!rows || !rows.value().next())
            continue;
        restore.append({setting.name, rows.value().query().value(0).toString()});
        (void)db.exec(sql.writeSetting(setting.name, setting.bulkValue));
    }
    Status done = makeWordTables(db);
    auto remake = done ? dropIndexes(db, {QStringLiteral("会员库"), QStringLiteral("出租库"),
                                          QStringLiteral("出租记录"), QStringLiteral("销售库"),
                                          QStringLiteral("销售记录"), QStringLiteral("收入记录"),
                                          QStringLiteral("支出记录"), QStringLiteral("进货记录"),
                                          QStringLiteral("退货记录"), QStringLiteral("管理员日志")})
                       : Result<QStringList>(Error{done.error()});
    if (!remake)
        done = Error{remake.error()};
    else {
        done = loadAll();
        // the indexes come back whether the load went through or not
        if (Status s = remakeIndexes(db, remake.value(), progress); !s && done)
            done = s;
    }
    // the planner's statistics, gathered when the file was opened, describe
    // the tables before the load
    for (const QString& statement : sql.gatherStatistics()) {
        if (!done)
            break;
        done = run(db, statement);
    }
    (void)db.exec(QStringLiteral("DROP TABLE 样本书名"));
    (void)db.exec(QStringLiteral("DROP TABLE 样本姓名"));
    for (const auto& [name, value] : restore)
        (void)db.exec(sql.writeSetting(name, value));
    return done;
}

} // namespace LargeSample
