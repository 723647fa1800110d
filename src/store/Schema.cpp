#include "store/Schema.h"

#include "store/Passwords.h"
#include "store/Permissions.h"
#include "store/TextSearch.h"

namespace {

using Type = ColumnType;

struct Column {
    QString name;
    Type type;
    QString extra = {}; // "UNIQUE NOT NULL", "PRIMARY KEY", a default ...
};

struct Table {
    QString name;
    QList<Column> columns;
};

const QString VersionTable = QStringLiteral("schema_version");

QList<Table> tables() {
    using T = Type;
    QList<Column> admin = {
        {QStringLiteral("AdminName"), T::Text, QStringLiteral("UNIQUE NOT NULL")},
        {QStringLiteral("pwd"), T::Text}};
    for (const QString& permission : permissionColumns())
        admin.append({permission, T::YesNo, QStringLiteral("DEFAULT FALSE")});
    return {
        {QStringLiteral("管理员"), admin},
        {QStringLiteral("管理员日志"),
         {{"id", T::Identity},
          {"事件", T::Text},
          {"日期", T::DateTime},
          {"管理员", T::Text},
          {"说明", T::Text}}},
        {QStringLiteral("系统信息"), {{"出租单号", T::Integer}, {"销售单号", T::Integer}}},
        {QStringLiteral("会员类型"),
         {{"名称", T::Text, "UNIQUE NOT NULL"},
          {"可借数量", T::Integer},
          {"折扣", T::Money},
          {"开户费", T::Money},
          {"有效期限制", T::YesNo, "DEFAULT FALSE"},
          {"归还时租金卡内扣除", T::YesNo, "DEFAULT TRUE"},
          {"免押金", T::YesNo, "DEFAULT FALSE"},
          {"免租金", T::YesNo, "DEFAULT FALSE"}}},
        {QStringLiteral("会员库"),
         {{"会员卡号", T::Text, "UNIQUE NOT NULL"},
          {"会员姓名", T::Text},
          {"会员类型", T::Text},
          {"会员性别", T::Text},
          {"卡内金额", T::Money},
          {"会员积分", T::Money},
          {"登记日期", T::Date},
          {"证件号码", T::Text},
          {"联系方式", T::Text},
          {"单位部门", T::Text},
          {"住址", T::Text},
          {"状态", T::Text},
          {"密码", T::Text},
          {"备注", T::Memo},
          {"登记人", T::Text},
          {"有效期", T::DateTime},
          {"相片", T::Picture},
          {"出生日期", T::Date}}},
        {QStringLiteral("单位部门"), {{"名称", T::Text}}},
        // Added with an insert without a column list: exactly these 16
        // columns in this order, and no identity column.
        {QStringLiteral("出租库"),
         {{"条形码", T::Text, "PRIMARY KEY"},
          {"商品名称", T::Text},
          {"商品类型", T::Text},
          {"py", T::Text},
          {"定价", T::Money},
          {"作者", T::Text},
          {"存放位置", T::Text},
          {"出版社", T::Text},
          {"供应商", T::Text},
          {"简介", T::Memo},
          {"状态", T::Text},
          {"借出次数", T::Integer},
          {"登记日期", T::Date},
          {"登记人", T::Text},
          {"介质", T::Text},
          {"pic", T::Picture}}},
        {QStringLiteral("出租记录"),
         {{"id", T::Identity},
          {"出租单号", T::Text},
          {"条形码", T::Text},
          {"商品名称", T::Text},
          {"py", T::Text},
          {"押金", T::Money},
          {"每日租金", T::Money},
          {"会员卡号", T::Text},
          {"会员姓名", T::Text},
          {"出租日期", T::DateTime},
          {"已还", T::Text},
          {"出租经手人", T::Text},
          {"应还日期", T::DateTime},
          {"归还日期", T::DateTime},
          {"天数", T::Integer},
          {"实收租金", T::Money},
          {"归还经手人", T::Text},
          {"支付方式", T::Text},
          {"归还说明", T::Text}}},
        {QStringLiteral("收入记录"),
         {{"id", T::Identity},
          {"项目", T::Text},
          {"金额", T::Money},
          {"日期", T::DateTime},
          {"会员卡号", T::Text},
          {"会员姓名", T::Text},
          {"管理员", T::Text},
          {"说明", T::Memo}}},
        {QStringLiteral("支出记录"),
         {{"id", T::Identity},
          {"项目", T::Text},
          {"金额", T::Money},
          {"日期", T::DateTime},
          {"姓名", T::Text},
          {"管理员", T::Text},
          {"说明", T::Memo}}},
        {QStringLiteral("收支类型"), {{"类型", T::Text}, {"名称", T::Text}, {"id", T::Identity}}},
        {QStringLiteral("销售库"),
         {{"商品id", T::Identity},
          {"条形码", T::Text},
          {"商品名称", T::Text},
          {"py", T::Text},
          {"商品类型", T::Text},
          {"定价", T::Money},
          {"存放位置", T::Text},
          {"出版社", T::Text},
          {"作者", T::Text},
          {"介质", T::Text},
          {"简介", T::Memo},
          {"库存", T::Integer},
          {"状态", T::Text},
          {"主演/导演", T::Text}}},
        {QStringLiteral("销售记录"),
         {{"id", T::Identity},
          {"销售单号", T::Text},
          {"条形码", T::Text},
          {"商品名称", T::Text},
          {"定价", T::Money},
          {"销售单价", T::Money},
          {"数量", T::Integer},
          {"折扣", T::Money},
          {"合计", T::Money},
          {"商品id", T::Text},
          {"会员卡号", T::Text},
          {"姓名", T::Text},
          {"日期", T::DateTime},
          {"支付方式", T::Text},
          {"管理员", T::Text}}},
        {QStringLiteral("进货记录"),
         {{"id", T::Identity},
          {"条形码", T::Text},
          {"商品名称", T::Text},
          {"商品类型", T::Text},
          {"定价", T::Money},
          {"进货单价", T::Money},
          {"进货数量", T::Integer},
          {"折扣", T::Money},
          {"总金额", T::Money},
          {"进货日期", T::DateTime},
          {"供应商", T::Text},
          {"管理员", T::Text},
          {"说明", T::Memo}}},
        {QStringLiteral("退货记录"),
         {{"id", T::Identity},
          {"销售单号", T::Text},
          {"商品id", T::Text},
          {"条形码", T::Text},
          {"商品名称", T::Text},
          {"数量", T::Integer},
          {"退还金额", T::Money},
          {"日期", T::DateTime},
          {"会员卡号", T::Text},
          {"姓名", T::Text},
          {"管理员", T::Text},
          {"销售记录id", T::Integer},
          {"退还方式", T::Text}}},
        {QStringLiteral("商品类型"),
         {{"名称", T::Text, "UNIQUE NOT NULL"}, {"每日租金", T::Money}, {"押金", T::Money}}},
        // Names need not be unique in the reference lists: the identity
        // column, last so that the described first column leads, tells
        // the rows apart.
        {QStringLiteral("存放位置"), {{"名称", T::Text}, {"id", T::Identity}}},
        {QStringLiteral("介质"), {{"名称", T::Text}, {"id", T::Identity}}},
        {QStringLiteral("出版社"), {{"名称", T::Text}}},
        {QStringLiteral("供应商"),
         {{"名称", T::Text},
          {"联系人", T::Text},
          {"联系方式", T::Text},
          {"地址", T::Text},
          {"所欠货款", T::Money},
          {"id", T::Identity}}},
    };
}

QString createStatement(const Dialect& dialect, const Table& table) {
    QStringList parts;
    for (const Column& column : table.columns) {
        const QString extra = dialect.columnExtra(column.extra);
        QString definition = Db::quoted(column.name) + u' ' + dialect.columnType(column.type);
        if (!extra.isEmpty())
            definition += u' ' + extra;
        parts << definition;
    }
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(Db::quoted(table.name), parts.join(u", "));
}

Status run(const Db& db, const QString& sql, const QVariantList& params = {}) {
    auto done = db.exec(sql, params);
    if (!done)
        return Error{done.error() + QStringLiteral(" [") + sql + u']'};
    return {};
}

// Version 1: the tables and their first rows.
Status createTables(const Db& db) {
    for (const Table& table : tables()) {
        if (Status s = run(db, createStatement(db.dialect(), table)); !s)
            return s;
    }
    // the built-in administrator's delivered password, stored as its hash
    auto delivered = Passwords::hash(QStringLiteral("7302"));
    if (!delivered)
        return Error{delivered.error()};
    QStringList marks;
    QVariantList adminValues{QStringLiteral("超级管理员"), delivered.value()};
    for (int i = 0; i < PermissionCount; ++i) {
        marks << QStringLiteral("?");
        adminValues << true;
    }
    QStringList adminColumns{Db::quoted(QStringLiteral("AdminName")), QStringLiteral("pwd")};
    for (const QString& permission : permissionColumns())
        adminColumns << Db::quoted(permission);
    const QList<std::pair<QString, QVariantList>> firstRows = {
        {QStringLiteral("insert into 管理员(%1) values(?,?,%2)")
             .arg(adminColumns.join(u','), marks.join(u',')),
         adminValues},
        {QStringLiteral("insert into 会员类型(名称,可借数量,折扣,开户费,有效期限制,"
                        "归还时租金卡内扣除,免押金,免租金) values(?,?,?,?,?,?,?,?)"),
         {QStringLiteral("散客"), 999, QVariant::fromValue(Money::fromInt(1)),
          QVariant::fromValue(Money()), false, false, false, false}},
        {QStringLiteral("insert into 商品类型(名称,每日租金,押金) values(?,?,?)"),
         {QStringLiteral("普通"), QVariant::fromValue(Money::fromInt(1)),
          QVariant::fromValue(Money::fromInt(10))}},
        {QStringLiteral("insert into 存放位置(名称) values(?)"), {QStringLiteral("店内")}},
        {QStringLiteral("insert into 介质(名称) values(?)"), {QStringLiteral("图书")}},
        {QStringLiteral("insert into 系统信息(出租单号,销售单号) values(0,0)"), {}},
    };
    for (const auto& [sql, values] : firstRows) {
        if (Status s = run(db, sql, values); !s)
            return s;
    }
    return {};
}

// Version 2: the keys and indexes of the lookups and date ranges.
Status createIndexes(const Db& db) {
    const QStringList statements = {
        // one open rent per copy
        QStringLiteral("CREATE UNIQUE INDEX 出租记录_未还 ON 出租记录(条形码) WHERE 已还 = '否'"),
        QStringLiteral("CREATE INDEX 出租记录_条形码 ON 出租记录(条形码, 已还)"),
        QStringLiteral("CREATE INDEX 出租记录_会员 ON 出租记录(会员卡号, 已还)"),
        QStringLiteral("CREATE INDEX 出租记录_日期 ON 出租记录(出租日期, 实收租金)"),
        QStringLiteral("CREATE INDEX 出租记录_单号 ON 出租记录(出租单号)"),
        QStringLiteral("CREATE INDEX 出租库_状态 ON 出租库(状态)"),
        QStringLiteral("CREATE INDEX 销售库_条形码 ON 销售库(条形码)"),
        QStringLiteral("CREATE INDEX 销售记录_日期 ON 销售记录(日期, 合计)"),
        QStringLiteral("CREATE INDEX 销售记录_单号 ON 销售记录(销售单号)"),
        QStringLiteral("CREATE INDEX 收入记录_日期 ON 收入记录(日期, 金额)"),
        QStringLiteral("CREATE INDEX 支出记录_日期 ON 支出记录(日期, 金额)"),
        QStringLiteral("CREATE INDEX 进货记录_日期 ON 进货记录(进货日期, 总金额)"),
        QStringLiteral("CREATE INDEX 退货记录_日期 ON 退货记录(日期, 退还金额)"),
        QStringLiteral("CREATE INDEX 退货记录_销售 ON 退货记录(销售记录id)"),
        QStringLiteral("CREATE INDEX 管理员日志_日期 ON 管理员日志(日期)"),
    };
    for (const QString& sql : statements) {
        if (Status s = run(db, sql); !s)
            return s;
    }
    return {};
}

// Version 3: trigram indexes for the "contains" searches, and the index
// review: the refund search looks sale records up by barcode; the barcode
// index of rent records served no statement (the open-rent rule's partial
// index answers the barcode lookups) and only slowed every booking.
Status searchIndexes(const Db& db) {
    QStringList statements = TextSearch::createStatements(db);
    statements << QStringLiteral("CREATE INDEX 销售记录_条形码 ON 销售记录(条形码)")
               << QStringLiteral("DROP INDEX 出租记录_条形码");
    for (const QString& sql : statements) {
        if (Status s = run(db, sql); !s)
            return s;
    }
    return {};
}

// Version 4: the reference lists with a window (locations, media,
// suppliers, income and expense types) get an identity column, so that an
// edit or a delete changes the row that was chosen even where two rows
// share a name. A table cannot gain a key column in place on every engine:
// it is built anew with the column last and its rows copied over in their
// stored order, which the new keys then follow.
Status referenceListKeys(const Db& db) {
    const QStringList keyed = {QStringLiteral("存放位置"), QStringLiteral("介质"),
                               QStringLiteral("供应商"), QStringLiteral("收支类型")};
    for (const Table& table : tables()) {
        if (!keyed.contains(table.name) || db.columns(table.name).contains(QStringLiteral("id")))
            continue;
        QStringList copied;
        for (const Column& column : table.columns)
            if (column.type != Type::Identity)
                copied << Db::quoted(column.name);
        const QString columns = copied.join(u", ");
        Table rebuilt = table;
        rebuilt.name = table.name + QStringLiteral("_新");
        const QStringList statements = {
            createStatement(db.dialect(), rebuilt),
            QStringLiteral("insert into %1 (%2) select %2 from %3 order by %4")
                .arg(Db::quoted(rebuilt.name), columns, Db::quoted(table.name),
                     db.dialect().rowIdentity()),
            QStringLiteral("DROP TABLE %1").arg(Db::quoted(table.name)),
            QStringLiteral("ALTER TABLE %1 RENAME TO %2")
                .arg(Db::quoted(rebuilt.name), Db::quoted(table.name)),
        };
        for (const QString& sql : statements) {
            if (Status s = run(db, sql); !s)
                return s;
        }
    }
    return {};
}

// Version 5: the key of every booking, written in the booking's own
// transaction, so that a booking whose commit was not answered (the server
// went away, the disk failed on the sync) can be looked up afterwards.
Status bookingKeys(const Db& db) {
    const Dialect& dialect = db.dialect();
    return run(db, QStringLiteral("CREATE TABLE booking_keys (booking_key %1 PRIMARY KEY, "
                                  "order_number %1, booked_at %2)")
                       .arg(dialect.columnType(Type::Text), dialect.columnType(Type::DateTime)));
}

using Step = Status (*)(const Db&);
// steps[i] brings a database from version i to version i + 1
const Step Steps[Schema::CurrentVersion] = {createTables, createIndexes, searchIndexes,
                                            referenceListKeys, bookingKeys};

Status setVersion(const Db& db, int version) {
    if (Status s = run(db, QStringLiteral("delete from ") + VersionTable); !s)
        return s;
    return run(db, QStringLiteral("insert into %1(version) values(?)").arg(VersionTable),
               {version});
}

Result<int> versionOf(const Db& db);

// Brings the database to version `to`. Two workstations may start on an
// empty database at once: the version is read again inside the creating
// transaction, after the lock that makes the other one wait (SQLite:
// BEGIN IMMEDIATE; PostgreSQL: an advisory lock), so the one that comes
// second finds the work done. With from given, the database must still be
// at that version.
Status upgrade(const Db& db, std::optional<int> from, int to) {
    return db.inSchemaTransaction([&]() -> Status {
        if (const QString lock = db.dialect().schemaLock(); !lock.isEmpty()) {
            if (Status s = run(db, lock); !s)
                return s;
        }
        auto current = versionOf(db);
        if (!current)
            return Error{current.error()};
        if (from && current.value() != *from)
            return Error{QStringLiteral("数据库中已经建有数据表 (版本 %1), 不能再次创建")
                             .arg(current.value())};
        if (current.value() > to)
            return Error{QStringLiteral("数据库版本 %1 比本程序 (版本 %2) 新, 请升级程序")
                             .arg(current.value())
                             .arg(to)};
        if (current.value() == to)
            return {};
        if (current.value() == 0) {
            if (Status s = run(
                    db,
                    QStringLiteral("CREATE TABLE %1 (version INTEGER NOT NULL)").arg(VersionTable));
                !s)
                return s;
        }
        for (int v = current.value(); v < to; ++v) {
            if (Status s = Steps[v](db); !s)
                return s;
        }
        return setVersion(db, to);
    });
}

Result<int> versionOf(const Db& db) {
    return Schema::version(db);
}

} // namespace

namespace Schema {

QStringList tableNames() {
    QStringList names;
    for (const Table& table : tables())
        names << table.name;
    return names;
}

int textLength(const QString& table, const QString& column) {
    for (const Table& t : tables()) {
        if (t.name != table)
            continue;
        for (const Column& c : t.columns) {
            if (c.name == column)
                return c.type == ColumnType::Text ? 255 : c.type == ColumnType::Memo ? 4000 : 0;
        }
    }
    return 0;
}

QList<SchemaColumn> columnsOf(const QString& table) {
    QList<SchemaColumn> columns;
    for (const Table& t : tables()) {
        if (t.name != table)
            continue;
        for (const Column& c : t.columns)
            columns.append({c.name, c.type,
                            c.type == Type::Identity || c.extra == QStringLiteral("PRIMARY KEY") ||
                                c.extra == QStringLiteral("UNIQUE NOT NULL")});
    }
    return columns;
}

QString rowKey(const QString& table) {
    for (const Table& t : tables()) {
        if (t.name != table)
            continue;
        for (const Column& c : t.columns)
            if (c.type == Type::Identity)
                return c.name;
        for (const Column& c : t.columns)
            if (c.extra == QStringLiteral("PRIMARY KEY") ||
                c.extra == QStringLiteral("UNIQUE NOT NULL"))
                return c.name;
    }
    return {};
}

QStringList columnsOfType(ColumnType type) {
    QStringList names;
    for (const Table& table : tables()) {
        for (const Column& column : table.columns) {
            if (column.type == type && !names.contains(column.name))
                names << column.name;
        }
    }
    return names;
}

Result<int> version(const Db& db) {
    if (!db.isOpen())
        return Error{QStringLiteral("数据库没有连接")};
    if (!db.hasTable(VersionTable)) {
        for (const QString& table : tableNames()) {
            if (db.hasTable(table))
                return Error{QStringLiteral("数据库中已有表 %1, 但没有版本信息").arg(table)};
        }
        return 0;
    }
    auto stored = db.scalarInteger(QStringLiteral("select version from ") + VersionTable);
    if (!stored)
        return Error{stored.error()};
    return int(stored.value().value_or(0));
}

Status createUpTo(const Db& db, int target) {
    auto current = version(db);
    if (!current)
        return Error{current.error()};
    if (current.value() != 0)
        return Error{
            QStringLiteral("数据库中已经建有数据表 (版本 %1), 不能再次创建").arg(current.value())};
    return upgrade(db, 0, target);
}

Status create(const Db& db) {
    return createUpTo(db, CurrentVersion);
}

Status openOrCreate(const Db& db) {
    auto current = version(db);
    if (!current)
        return Error{current.error()};
    if (current.value() > CurrentVersion)
        return Error{QStringLiteral("数据库版本 %1 比本程序 (版本 %2) 新, 请升级程序")
                         .arg(current.value())
                         .arg(CurrentVersion)};
    if (current.value() < CurrentVersion) {
        if (Status s = upgrade(db, std::nullopt, CurrentVersion); !s)
            return s;
    }
    // An old backup may still hold clear-text passwords: hash them now.
    auto hashed = Passwords::upgradeClearText(db);
    if (!hashed)
        return Error{hashed.error()};
    return gatherStatisticsOnce(db);
}

Status gatherStatisticsOnce(const Db& db) {
    const QString missing = db.dialect().statisticsMissing();
    if (missing.isEmpty())
        return {};
    auto never = db.scalarInteger(missing);
    if (!never)
        return Error{never.error()};
    if (!never.value())
        return {};
    // without them a file of years of records is read in the wrong order
    for (const QString& statement : db.dialect().gatherStatistics()) {
        if (auto done = db.exec(statement); !done)
            return Error{done.error()};
    }
    return {};
}

} // namespace Schema
