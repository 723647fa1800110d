#include "tools/core/LegacyImport.h"

#include "customers/Customers.h"
#include "store/Passwords.h"
#include "store/Schema.h"
#include "tools/core/MdbReader.h"

#include <QHash>
#include <QSet>
#include <QtEndian>
#include <cmath>

namespace {

// Rows between two progress reports.
constexpr qint64 ProgressEvery = 1000;

// Rows a fresh database holds, which the file's rows replace: the one row
// the program cannot do without stays when the file has none of that name.
struct RequiredRow {
    QString table, column, value;
};
const QList<RequiredRow>& requiredRows() {
    static const QList<RequiredRow> rows = {
        {QStringLiteral("管理员"), QStringLiteral("AdminName"), QStringLiteral("超级管理员")},
        {QStringLiteral("会员类型"), QStringLiteral("名称"), WalkIn},
    };
    return rows;
}

// The references from records to a copy, an item or a card; a record whose
// reference is not there is written as it is and listed. (A refund names
// the card of the sale it refunds, which is listed already.)
struct Reference {
    QString table, column, refersTo, refersColumn;
};
const QList<Reference>& references() {
    static const QList<Reference> list = {
        {QStringLiteral("出租记录"), QStringLiteral("条形码"), QStringLiteral("出租库"),
         QStringLiteral("条形码")},
        {QStringLiteral("出租记录"), QStringLiteral("会员卡号"), QStringLiteral("会员库"),
         QStringLiteral("会员卡号")},
        {QStringLiteral("销售记录"), QStringLiteral("商品id"), QStringLiteral("销售库"),
         QStringLiteral("商品id")},
        {QStringLiteral("销售记录"), QStringLiteral("会员卡号"), QStringLiteral("会员库"),
         QStringLiteral("会员卡号")},
        {QStringLiteral("退货记录"), QStringLiteral("商品id"), QStringLiteral("销售库"),
         QStringLiteral("商品id")},
    };
    return list;
}

QString kindName(ColumnType type) {
    switch (type) {
    case ColumnType::Text:
        return QStringLiteral("文字");
    case ColumnType::Memo:
        return QStringLiteral("备注");
    case ColumnType::Integer:
        return QStringLiteral("整数");
    case ColumnType::Money:
        return QStringLiteral("金额");
    case ColumnType::Date:
        return QStringLiteral("日期");
    case ColumnType::DateTime:
        return QStringLiteral("日期时间");
    case ColumnType::YesNo:
        return QStringLiteral("是/否");
    case ColumnType::Picture:
        return QStringLiteral("图片");
    case ColumnType::Identity:
        return QStringLiteral("自动编号");
    }
    return {};
}

// Whether a column of the file's type can fill a column of the schema's kind.
bool takes(ColumnType target, MdbType source) {
    switch (target) {
    case ColumnType::Text:
    case ColumnType::Memo:
        return source == MdbType::Text || source == MdbType::Memo || source == MdbType::Integer ||
               source == MdbType::Decimal;
    case ColumnType::Integer:
        return source == MdbType::Integer || source == MdbType::Text ||
               source == MdbType::Currency || source == MdbType::Real || source == MdbType::Decimal;
    case ColumnType::Money:
        return source == MdbType::Currency || source == MdbType::Real ||
               source == MdbType::Integer || source == MdbType::Text || source == MdbType::Decimal;
    case ColumnType::Date:
    case ColumnType::DateTime:
        return source == MdbType::DateTime;
    case ColumnType::YesNo:
        return source == MdbType::YesNo || source == MdbType::Integer;
    case ColumnType::Picture:
        return source == MdbType::Binary;
    case ColumnType::Identity:
        return source == MdbType::Integer;
    }
    return false;
}

const QString NotAnInteger = QStringLiteral("不是整数: %1");
const QString NotAnAmount = QStringLiteral("不是金额: %1");

Result<QVariant> integerFrom(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return QVariant();
    bool ok = false;
    const qint64 n = trimmed.toLongLong(&ok);
    if (!ok)
        return Error{NotAnInteger.arg(text)};
    return QVariant(n);
}

Result<QVariant> amountFrom(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return QVariant();
    const auto amount = Money::parse(trimmed);
    if (!amount || !amount->isValid())
        return Error{NotAnAmount.arg(text)};
    return QVariant::fromValue(*amount);
}

// A Date/Time as the local time it shows, "yyyy-MM-dd hh:mm:ss" (to the
// nearest second), or its day alone for a date column. The whole part of
// the days (towards zero) is the day from 1899-12-30, the absolute value of
// the fraction its time of day, so a date before day zero keeps its time.
Result<QVariant> momentFrom(const MdbDateTime& stored, bool dayOnly) {
    if (!std::isfinite(stored.days) || std::fabs(stored.days) > 3.0e6)
        return Error{QStringLiteral("日期超出范围")};
    double whole = std::trunc(stored.days);
    qint64 seconds = std::llround(std::fabs(stored.days - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        whole += 1;
    }
    const QDate day = QDate(1899, 12, 30).addDays(qint64(whole));
    if (!day.isValid() || day.year() < 1 || day.year() > 9999)
        return Error{QStringLiteral("日期超出范围")};
    QString text = QString::asprintf("%04d-%02d-%02d", day.year(), day.month(), day.day());
    if (!dayOnly)
        text += QString::asprintf(" %02d:%02d:%02d", int(seconds / 3600), int(seconds / 60 % 60),
                                  int(seconds % 60));
    return QVariant(text);
}

// A Double (会员积分) is a decimal of at most four places that the file
// keeps in binary: the nearest four-place value, half to even, is it.
Result<QVariant> amountFromDouble(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 9.0e14)
        return Error{QStringLiteral("超出金额范围: %1").arg(value)};
    return amountFrom(QString::number(value, 'f', 4));
}

Result<QVariant> convert(ColumnType type, const MdbValue& stored) {
    if (std::holds_alternative<std::monostate>(stored))
        return QVariant();
    switch (type) {
    case ColumnType::Text:
    case ColumnType::Memo:
        if (const auto* text = std::get_if<QString>(&stored))
            return QVariant(*text);
        if (const auto* n = std::get_if<qint64>(&stored))
            return QVariant(QString::number(*n));
        if (const auto* decimal = std::get_if<MdbDecimal>(&stored))
            return QVariant(decimal->text);
        break;
    case ColumnType::Integer:
    case ColumnType::Identity:
        if (const auto* n = std::get_if<qint64>(&stored))
            return QVariant(*n);
        if (const auto* text = std::get_if<QString>(&stored))
            return integerFrom(*text);
        if (const auto* decimal = std::get_if<MdbDecimal>(&stored))
            return integerFrom(decimal->text);
        if (const auto* amount = std::get_if<MdbCurrency>(&stored)) {
            if (amount->units % Money::Scale != 0)
                return Error{NotAnInteger.arg(Money::fromUnits(amount->units).toString())};
            return QVariant(amount->units / Money::Scale);
        }
        if (const auto* real = std::get_if<double>(&stored)) {
            if (!std::isfinite(*real) || std::trunc(*real) != *real || std::fabs(*real) > 9.0e15)
                return Error{NotAnInteger.arg(*real)};
            return QVariant(qint64(*real));
        }
        break;
    case ColumnType::Money:
        if (const auto* amount = std::get_if<MdbCurrency>(&stored)) {
            const Money money = Money::fromUnits(amount->units);
            if (!money.isValid())
                return Error{QStringLiteral("超出金额范围: -922337203685477.5808")};
            return QVariant::fromValue(money);
        }
        if (const auto* real = std::get_if<double>(&stored))
            return amountFromDouble(*real);
        if (const auto* n = std::get_if<qint64>(&stored))
            return QVariant::fromValue(Money::fromInt(*n));
        if (const auto* text = std::get_if<QString>(&stored))
            return amountFrom(*text);
        if (const auto* decimal = std::get_if<MdbDecimal>(&stored))
            return amountFrom(decimal->text);
        break;
    case ColumnType::Date:
    case ColumnType::DateTime:
        if (const auto* moment = std::get_if<MdbDateTime>(&stored))
            return momentFrom(*moment, type == ColumnType::Date);
        break;
    case ColumnType::YesNo:
        if (const auto* yes = std::get_if<bool>(&stored))
            return QVariant(*yes);
        if (const auto* n = std::get_if<qint64>(&stored))
            return QVariant(*n != 0);
        break;
    case ColumnType::Picture:
        if (const auto* bytes = std::get_if<QByteArray>(&stored))
            return QVariant(LegacyImport::withoutOleWrapper(*bytes));
        break;
    }
    return Error{QStringLiteral("值的类型不对")};
}

// The value as the report names it.
QString shown(const QVariant& value) {
    if (value.typeId() == qMetaTypeId<Money>())
        return value.value<Money>().toString();
    return value.toString();
}

struct MappedColumn {
    Schema::SchemaColumn target;
    int source = -1; // the file's column, -1 when it has none
};

// One pass over the file: every row converted and checked, and written
// when there is a database.
class Pass {
public:
    Pass(const QString& file, const Db* db, const LegacyImport::Progress& progress,
         const std::atomic<bool>* cancel)
        : m_file(file), m_db(db), m_progress(progress), m_cancel(cancel) {}

    Result<LegacyImportReport> run();

private:
    Status table(MdbReader& file, const QString& name, LegacyTableCount& count);
    Status write(const QString& table, const QStringList& columns, const QVariantList& values);
    bool cancelled() const { return m_cancel && m_cancel->load(std::memory_order_relaxed); }
    void warn(const QString& table, const QString& column, const QString& reason) {
        m_report.warnings.append({table, 0, column, reason, {}});
    }

    QString m_file;
    const Db* m_db;
    const LegacyImport::Progress& m_progress;
    const std::atomic<bool>* m_cancel;
    LegacyImportReport m_report;
    // the keys written per "table.column", for the records that name them
    QHash<QString, QSet<QString>> m_written;
    QHash<QString, QString> m_insertStatements;
};

Result<LegacyImportReport> Pass::run() {
    auto opened = MdbReader::open(m_file);
    if (!opened)
        return Error{opened.error()};
    MdbReader& file = *opened.value();
    m_report.file = m_file;
    m_report.format = file.format();
    m_report.preview = m_db == nullptr;
    const QStringList inFile = file.tables();
    const QStringList shop = Schema::tableNames();
    for (const QString& name : shop) {
        LegacyTableCount count;
        count.table = name;
        count.inFile = inFile.contains(name);
        if (!count.inFile) {
            warn(name, {}, QStringLiteral("文件中没有这个表, 保留新数据库中的内容"));
        } else if (Status s = table(file, name, count); !s) {
            return Error{s.error()};
        }
        m_report.tables.append(count);
    }
    for (const QString& name : inFile) {
        if (!shop.contains(name))
            warn(name, {}, QStringLiteral("文件中的这个表不是本程序的表, 没有导入"));
    }
    return m_report;
}

Status Pass::table(MdbReader& file, const QString& name, LegacyTableCount& count) {
    auto opened = file.table(name);
    if (!opened)
        return Error{opened.error()};
    MdbTableReader& source = *opened.value();
    const QList<MdbColumnInfo>& fileColumns = source.columns();

    // the schema's columns matched by name with the file's
    QList<MappedColumn> columns;
    QSet<int> used;
    for (const Schema::SchemaColumn& target : Schema::columnsOf(name)) {
        MappedColumn mapped{target, -1};
        for (int i = 0; i < fileColumns.size(); ++i) {
            if (fileColumns.at(i).name.compare(target.name, Qt::CaseInsensitive) == 0) {
                mapped.source = i;
                used.insert(i);
                break;
            }
        }
        if (mapped.source < 0) {
            // the old program's reference lists had no numbers: the
            // database gives them
            if (target.type != ColumnType::Identity)
                warn(name, target.name, QStringLiteral("文件中没有这一列, 取默认值"));
        } else if (!takes(target.type, fileColumns.at(mapped.source).type)) {
            warn(name, target.name,
                 QStringLiteral("文件中这一列的类型 (%1) 不能存为%2, 取默认值")
                     .arg(fileColumns.at(mapped.source).accessName(), kindName(target.type)));
            mapped.source = -1;
        }
        if (mapped.source >= 0)
            columns.append(mapped);
    }
    for (int i = 0; i < fileColumns.size(); ++i) {
        if (!used.contains(i))
            warn(name, fileColumns.at(i).name, QStringLiteral("这一列不是本程序的列, 没有导入"));
    }
    QStringList columnNames;
    for (const MappedColumn& c : columns)
        columnNames << c.target.name;

    const QString key = Schema::rowKey(name);
    const RequiredRow* required = nullptr;
    for (const RequiredRow& r : requiredRows())
        if (r.table == name)
            required = &r;
    QList<const Reference*> refs;
    for (const Reference& r : references())
        if (r.table == name)
            refs << &r;
    const bool rentRecords = name == QStringLiteral("出租记录");
    const bool admins = name == QStringLiteral("管理员");

    // the keys seen so far, with the row that had each
    QHash<QString, QHash<QString, qint64>> keysSeen;
    QHash<QString, qint64> openRents;
    bool cleared = false;
    bool requiredKept = false;
    QString identity;
    for (const MappedColumn& c : columns)
        if (c.target.type == ColumnType::Identity)
            identity = c.target.name;

    int picture = -1;
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).target.type == ColumnType::Picture)
            picture = i;

    const qint64 total = source.rowCount();
    if (m_progress)
        m_progress(name, 0, total);
    QList<MdbValue> stored;
    QVariantList values;
    for (;;) {
        if (cancelled())
            return Error{LegacyImport::Cancelled};
        auto more = source.next(stored);
        if (more && !more.value())
            break;
        ++count.read;
        if (m_progress && count.read % ProgressEvery == 0)
            m_progress(name, count.read, total);
        const qint64 row = source.rowNumber();
        if (!more) {
            ++count.refused;
            m_report.refused.append({name, row, {}, more.error(), {}});
            continue;
        }
        values.clear();
        QString refusedColumn, refusal, rowKey;
        for (const MappedColumn& c : columns) {
            auto value = convert(c.target.type, stored.at(c.source));
            if (value && c.target.name == key)
                rowKey = shown(value.value());
            if (!value) {
                refusedColumn = c.target.name;
                refusal = value.error();
                break;
            }
            if (Status storable = Db::checkStorable(value.value()); !storable) {
                refusedColumn = c.target.name;
                refusal = storable.error();
                break;
            }
            if (c.target.key) {
                if (value.value().isNull()) {
                    refusedColumn = c.target.name;
                    refusal = QStringLiteral("这一列不能没有值");
                    break;
                }
                auto& seen = keysSeen[c.target.name];
                const QString text = shown(value.value());
                if (const auto it = seen.constFind(text); it != seen.cend()) {
                    refusedColumn = c.target.name;
                    refusal = QStringLiteral("%1 与第 %2 行重复").arg(text).arg(it.value());
                    break;
                }
            }
            values << value.value();
        }
        // one open rent per copy
        if (refusal.isEmpty() && rentRecords) {
            const int returned = columnNames.indexOf(QStringLiteral("已还"));
            const int barcode = columnNames.indexOf(QStringLiteral("条形码"));
            if (returned >= 0 && barcode >= 0 && values.at(returned).toString() == u"否") {
                const QString copy = values.at(barcode).toString();
                if (const auto it = openRents.constFind(copy); it != openRents.cend()) {
                    refusedColumn = QStringLiteral("条形码");
                    refusal = QStringLiteral("%1 已有未还的出租记录 (第 %2 行)")
                                  .arg(copy)
                                  .arg(it.value());
                } else {
                    openRents.insert(copy, row);
                }
            }
        }
        if (!refusal.isEmpty()) {
            ++count.refused;
            m_report.refused.append({name, row, refusedColumn, refusal, rowKey});
            continue;
        }
        for (int i = 0; i < columns.size(); ++i) {
            if (columns.at(i).target.key)
                keysSeen[columns.at(i).target.name].insert(shown(values.at(i)), row);
        }
        if (admins) {
            const int pwd = columnNames.indexOf(QStringLiteral("pwd"));
            if (pwd >= 0 && !values.at(pwd).isNull() &&
                !Passwords::isHash(values.at(pwd).toString()) && m_db) {
                auto hashed = Passwords::hash(values.at(pwd).toString());
                if (!hashed)
                    return Error{hashed.error()};
                values[pwd] = hashed.value();
            }
        }
        const int requiredAt = required ? columnNames.indexOf(required->column) : -1;
        if (!cleared) {
            // the file's rows replace the first rows; the one the program
            // needs stays until the file's own comes
            cleared = true;
            requiredKept = required != nullptr;
            if (m_db) {
                auto done =
                    required ? m_db->exec(QStringLiteral("delete from %1 where %2 <> ?")
                                              .arg(Db::quoted(name), Db::quoted(required->column)),
                                          {required->value})
                             : m_db->exec(QStringLiteral("delete from ") + Db::quoted(name));
                if (!done)
                    return Error{done.error()};
            }
        }
        if (requiredKept && requiredAt >= 0 &&
            values.at(requiredAt).toString() == required->value) {
            requiredKept = false;
            if (m_db) {
                auto done = m_db->exec(QStringLiteral("delete from %1 where %2 = ?")
                                           .arg(Db::quoted(name), Db::quoted(required->column)),
                                       {required->value});
                if (!done)
                    return Error{done.error()};
            }
        }
        if (m_db) {
            if (Status s = write(name, columnNames, values); !s)
                return Error{QStringLiteral("表 %1 第 %2 行写不进数据库: %3")
                                 .arg(name)
                                 .arg(row)
                                 .arg(s.error())};
        }
        ++count.written;
        for (const Reference* ref : refs) {
            const int at = columnNames.indexOf(ref->column);
            if (at < 0 || values.at(at).isNull())
                continue;
            const QString named = values.at(at).toString();
            if (named.isEmpty() || (ref->refersColumn == u"会员卡号" && named == WalkIn))
                continue;
            if (!m_written.value(ref->refersTo + u'.' + ref->refersColumn).contains(named))
                m_report.orphans.append({name, row, ref->column,
                                         QStringLiteral("%1中没有%2 %3, 记录照样导入")
                                             .arg(ref->refersTo, ref->refersColumn, named),
                                         rowKey});
        }
        for (const Reference& ref : references()) {
            if (ref.refersTo != name)
                continue;
            const int at = columnNames.indexOf(ref.refersColumn);
            if (at >= 0 && !values.at(at).isNull())
                m_written[ref.refersTo + u'.' + ref.refersColumn].insert(shown(values.at(at)));
        }
        if (picture >= 0 && !values.at(picture).isNull()) {
            const QByteArray bytes = values.at(picture).toByteArray();
            if (!bytes.isEmpty() && !LegacyImport::isPicture(bytes))
                m_report.warnings.append(
                    {name, row, columns.at(picture).target.name,
                     QStringLiteral("不是图片 (%1 字节), 按原样保存").arg(bytes.size()), rowKey});
        }
    }
    if (requiredKept)
        warn(name, required->column,
             QStringLiteral("文件中没有 %1, 保留新数据库中的这一行").arg(required->value));
    if (m_progress)
        m_progress(name, count.read, total);
    if (m_db && !identity.isEmpty() && count.written > 0) {
        const QString past = m_db->dialect().identityPastLargest(name, identity);
        if (!past.isEmpty()) {
            auto moved = m_db->select(past, {Db::quoted(name), identity});
            if (!moved)
                return Error{moved.error()};
        }
    }
    return {};
}

Status Pass::write(const QString& table, const QStringList& columns, const QVariantList& values) {
    auto it = m_insertStatements.constFind(table);
    if (it == m_insertStatements.cend()) {
        QStringList quoted, marks;
        for (const QString& column : columns) {
            quoted << Db::quoted(column);
            marks << QStringLiteral("?");
        }
        it = m_insertStatements.insert(
            table, QStringLiteral("insert into %1 (%2) values (%3)")
                       .arg(Db::quoted(table), quoted.join(u", "), marks.join(u", ")));
    }
    auto done = m_db->exec(it.value(), values);
    if (!done)
        return Error{done.error()};
    return {};
}

// The rows of a fresh database that are not first rows, per table: none
// where the condition is empty.
struct FirstRows {
    QString table;
    QString beyond; // a condition on rows that a fresh database does not have
    int most;       // rows it may hold
};

} // namespace

const LegacyTableCount* LegacyImportReport::table(const QString& name) const {
    for (const LegacyTableCount& count : tables)
        if (count.table == name)
            return &count;
    return nullptr;
}

QString LegacyImportReport::text() const {
    QString out;
    out += preview ? QStringLiteral("导入旧数据预览 (没有写入数据库)\n")
                   : QStringLiteral("导入旧数据报告\n");
    out += QStringLiteral("文件: %1 (%2)\n").arg(file, format);
    qint64 read = 0, written = 0, refusedRows = 0;
    out += QStringLiteral("表\t读出\t%1\t拒绝\n")
               .arg(preview ? QStringLiteral("将写入") : QStringLiteral("写入"));
    for (const LegacyTableCount& count : tables) {
        out += QStringLiteral("%1\t%2\t%3\t%4%5\n")
                   .arg(count.table)
                   .arg(count.read)
                   .arg(count.written)
                   .arg(count.refused)
                   .arg(count.inFile ? QString() : QStringLiteral("\t(文件中没有)"));
        read += count.read;
        written += count.written;
        refusedRows += count.refused;
    }
    out += QStringLiteral("合计\t%1\t%2\t%3\n").arg(read).arg(written).arg(refusedRows);
    auto list = [&](const QString& title, const QList<LegacyIssue>& issues) {
        if (issues.isEmpty())
            return;
        out += QStringLiteral("\n%1 (表\t行号\t列\t原因):\n").arg(title);
        for (const LegacyIssue& issue : issues) {
            QString reason = issue.reason;
            reason.replace(u'\n', u' ');
            out +=
                QStringLiteral("%1\t%2\t%3\t%4%5\n")
                    .arg(issue.table, issue.row ? QString::number(issue.row) : QStringLiteral("-"),
                         issue.column.isEmpty() ? QStringLiteral("-") : issue.column, reason,
                         issue.key.isEmpty() ? QString() : QStringLiteral(" [%1]").arg(issue.key));
        }
    };
    list(QStringLiteral("拒绝的行"), refused);
    list(QStringLiteral("指向已不存在的商品或会员的记录 (已照样导入)"), orphans);
    list(QStringLiteral("警告"), warnings);
    return out;
}

namespace LegacyImport {

Result<LegacyImportReport> preview(const QString& file, const Progress& progress,
                                   const std::atomic<bool>* cancel) {
    Pass pass(file, nullptr, progress, cancel);
    return pass.run();
}

Status checkFresh(const Db& db) {
    const QList<FirstRows> first = {
        {QStringLiteral("管理员"), QStringLiteral("\"AdminName\" <> '超级管理员'"), 1},
        {QStringLiteral("会员类型"), QStringLiteral("名称 <> '散客'"), 1},
        {QStringLiteral("商品类型"), QStringLiteral("名称 <> '普通'"), 1},
        {QStringLiteral("存放位置"), {}, 1},
        {QStringLiteral("介质"), {}, 1},
        {QStringLiteral("系统信息"),
         QStringLiteral("coalesce(出租单号, 0) <> 0 or coalesce(销售单号, 0) <> 0"), 1},
    };
    for (const QString& table : Schema::tableNames()) {
        QString beyond;
        int most = 0;
        for (const FirstRows& f : first) {
            if (f.table == table) {
                beyond = f.beyond;
                most = f.most;
            }
        }
        const QString quoted = Db::quoted(table);
        auto held =
            db.scalarInteger(QStringLiteral("select count(*) from (select 1 from %1 limit %2) as t")
                                 .arg(quoted)
                                 .arg(most + 1));
        if (!held)
            return Error{held.error()};
        qint64 other = 0;
        if (!beyond.isEmpty()) {
            auto n = db.scalarInteger(
                QStringLiteral("select count(*) from (select 1 from %1 where %2 limit 1) as t")
                    .arg(quoted, beyond));
            if (!n)
                return Error{n.error()};
            other = n.value().value_or(0);
        }
        if (held.value().value_or(0) > most || other > 0)
            return Error{QStringLiteral("数据库中已有数据 (表 %1), 旧数据只能导入新建的数据库. "
                                        "请先用 shop-admin init 建立一个新数据库; "
                                        "什么也没有导入.")
                             .arg(table)};
    }
    return {};
}

Result<LegacyImportReport> importInto(const QString& file, const Db& db, const Progress& progress,
                                      const std::atomic<bool>* cancel) {
    // the file is read once before anything is written
    if (auto opened = MdbReader::open(file); !opened)
        return Error{opened.error()};
    auto version = Schema::version(db);
    if (!version)
        return Error{version.error()};
    if (version.value() == 0) {
        if (Status created = Schema::create(db); !created)
            return Error{created.error()};
    } else if (version.value() != Schema::CurrentVersion) {
        return Error{QStringLiteral("数据库版本 %1 与本程序 (版本 %2) 不同, "
                                    "请先用 shop-admin upgrade 升级")
                         .arg(version.value())
                         .arg(Schema::CurrentVersion)};
    }
    auto allowed = db.mayChangeSchema();
    if (!allowed)
        return Error{allowed.error()};
    if (!allowed.value())
        return Error{QStringLiteral("数据库用户 %1 不是数据表的所有者, 不能导入; "
                                    "请用所有者的连接字符串运行")
                         .arg(db.handle().userName())};
    std::optional<LegacyImportReport> report;
    const Status done = db.inTransaction([&]() -> Status {
        report.reset();
        if (Status fresh = checkFresh(db); !fresh)
            return fresh;
        Pass pass(file, &db, progress, cancel);
        auto made = pass.run();
        if (!made)
            return Error{made.error()};
        report = std::move(made).value();
        return {};
    });
    if (!done)
        return Error{done.error()};
    // the planner's figures were those of an empty database
    for (const QString& statement : db.dialect().gatherStatistics())
        (void)db.exec(statement);
    return *report;
}

QByteArray withoutOleWrapper(const QByteArray& stored) {
    // An OLE object header (0x1C15, its size, names), then the OLE 1.0
    // stream: version, format, class, topic and item names each after its
    // length, and the native data after its size.
    const auto* b = reinterpret_cast<const unsigned char*>(stored.constData());
    const qint64 size = stored.size();
    if (size < 24 || qFromLittleEndian<quint16>(b) != 0x1c15)
        return stored;
    qint64 at = qFromLittleEndian<quint16>(b + 2) + 8;
    for (int name = 0; name < 3; ++name) {
        if (at + 4 > size)
            return stored;
        at += 4 + qint64(qFromLittleEndian<quint32>(b + at));
    }
    if (at + 4 > size)
        return stored;
    const qint64 length = qFromLittleEndian<quint32>(b + at);
    at += 4;
    if (length <= 0 || at + length > size)
        return stored;
    const QByteArray native = stored.mid(at, length);
    // a picture, or a package holding one
    for (qint64 from = 0; from < native.size(); ++from) {
        const char first = native.at(from);
        if (first != 'B' && first != '\xff' && first != '\x89' && first != 'G')
            continue;
        QByteArray candidate = native.mid(from);
        if (!isPicture(candidate))
            continue;
        if (candidate.startsWith("BM") && candidate.size() >= 6) {
            const qint64 declared = qFromLittleEndian<quint32>(candidate.constData() + 2);
            if (declared > 0 && declared <= candidate.size())
                candidate.truncate(declared);
        }
        return candidate;
    }
    return stored;
}

bool isPicture(const QByteArray& bytes) {
    return (bytes.startsWith("BM") && bytes.size() >= 26) || bytes.startsWith("\xff\xd8\xff") ||
           bytes.startsWith("\x89PNG\r\n\x1a\n") || bytes.startsWith("GIF87a") ||
           bytes.startsWith("GIF89a") || bytes.startsWith(QByteArray("\0\0\1\0", 4));
}

} // namespace LegacyImport
