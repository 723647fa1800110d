#include "store/Schema.h"
#include "store/Money.h"
#include "store/OrderNumbers.h"
#include "store/Passwords.h"
#include "store/Permissions.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

class SchemaTest : public EngineTest {};
SHOP_ON_BOTH_ENGINES(SchemaTest);

TEST_P(SchemaTest, CreatesTheTwentyTables) {
    const QStringList names = Schema::tableNames();
    EXPECT_EQ(names.size(), 20);
    for (const QString& table : names)
        EXPECT_TRUE(db.hasTable(table)) << table.toStdString();
    auto version = Schema::version(db);
    ASSERT_TRUE(version.ok());
    EXPECT_EQ(version.value(), Schema::CurrentVersion);
}

TEST_P(SchemaTest, RentCatalogueHasExactlyItsSixteenColumnsInOrder) {
    const QStringList expected = {"条形码",   "商品名称", "商品类型", "py",   "定价", "作者",
                                  "存放位置", "出版社",   "供应商",   "简介", "状态", "借出次数",
                                  "登记日期", "登记人",   "介质",     "pic"};
    EXPECT_EQ(db.columns(QStringLiteral("出租库")), expected);
    // the add window's insert without a column list works
    execOk(QStringLiteral("insert into 出租库 values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
           {QStringLiteral("B1"), QStringLiteral("书"), QStringLiteral("普通"), QStringLiteral("S"),
            QVariant::fromValue(Money::fromInt(5)), QString(), QString(), QString(), QString(),
            QString(), QStringLiteral("待租"), 0, QDate(2026, 12, 9), QStringLiteral("a"),
            QString(), QByteArray("BM\x01\x02", 4)});
    auto rows = db.select(QStringLiteral("select * from 出租库"));
    ASSERT_TRUE(rows.ok());
    ASSERT_TRUE(rows.value().next());
    EXPECT_EQ(rows.value().money(QStringLiteral("定价")).toString(), QStringLiteral("5"));
    EXPECT_EQ(rows.value().date(QStringLiteral("登记日期")), QDate(2026, 12, 9));
    EXPECT_EQ(rows.value().bytes(QStringLiteral("pic")), QByteArray("BM\x01\x02", 4));
}

TEST_P(SchemaTest, FirstRows) {
    auto admin = db.select(QStringLiteral("select * from 管理员"));
    ASSERT_TRUE(admin.ok());
    ASSERT_TRUE(admin.value().next());
    EXPECT_EQ(admin.value().text(QStringLiteral("AdminName")), QStringLiteral("超级管理员"));
    // the delivered password, stored only as its hash
    const QString stored = admin.value().text(QStringLiteral("pwd"));
    EXPECT_TRUE(stored.startsWith(QLatin1String("$argon2id$"))) << stored.toStdString();
    EXPECT_TRUE(Passwords::verify(stored, QStringLiteral("7302")));
    EXPECT_FALSE(Passwords::verify(stored, QStringLiteral("7303")));
    for (const QString& permission : permissionColumns())
        EXPECT_TRUE(admin.value().yesNo(permission)) << permission.toStdString();
    EXPECT_FALSE(admin.value().next());

    auto walkIn = db.select(QStringLiteral("select * from 会员类型"));
    ASSERT_TRUE(walkIn.ok());
    ASSERT_TRUE(walkIn.value().next());
    EXPECT_EQ(walkIn.value().text(QStringLiteral("名称")), QStringLiteral("散客"));
    EXPECT_EQ(walkIn.value().integer(QStringLiteral("可借数量")), 999);
    EXPECT_EQ(walkIn.value().money(QStringLiteral("折扣")), Money::fromInt(1));
    EXPECT_EQ(
        count(QStringLiteral("商品类型"), QStringLiteral("名称 = ?"), {QStringLiteral("普通")}), 1);
    EXPECT_EQ(count(QStringLiteral("存放位置")), 1);
    EXPECT_EQ(count(QStringLiteral("介质")), 1);
    auto counters = db.select(QStringLiteral("select * from 系统信息"));
    ASSERT_TRUE(counters.ok());
    ASSERT_TRUE(counters.value().next());
    EXPECT_EQ(counters.value().integer(QStringLiteral("出租单号")), 0);
    EXPECT_EQ(counters.value().integer(QStringLiteral("销售单号")), 0);
    EXPECT_FALSE(counters.value().next());
}

TEST_P(SchemaTest, NewMemberTypeGetsItsDefaults) {
    execOk(QStringLiteral("insert into 会员类型(名称) values(?)"), {QStringLiteral("金卡")});
    auto row = db.select(QStringLiteral("select * from 会员类型 where 名称 = ?"),
                         {QStringLiteral("金卡")});
    ASSERT_TRUE(row.ok());
    ASSERT_TRUE(row.value().next());
    EXPECT_FALSE(row.value().yesNo(QStringLiteral("有效期限制")));
    EXPECT_TRUE(row.value().yesNo(QStringLiteral("归还时租金卡内扣除")));
    EXPECT_FALSE(row.value().yesNo(QStringLiteral("免押金")));
}

TEST_P(SchemaTest, CreatingTwiceIsRefused) {
    Status again = Schema::create(db);
    EXPECT_FALSE(again.ok());
    EXPECT_EQ(count(QStringLiteral("管理员")), 1);
}

TEST_P(SchemaTest, KeysRefuseDuplicates) {
    const QString member = QStringLiteral("insert into 会员库(会员卡号,会员姓名) values(?,?)");
    execOk(member, {QStringLiteral("1001"), QStringLiteral("张三")});
    EXPECT_FALSE(db.exec(member, {QStringLiteral("1001"), QStringLiteral("李四")}).ok());
    EXPECT_EQ(count(QStringLiteral("会员库")), 1);
    EXPECT_FALSE(db.exec(QStringLiteral("insert into 管理员(\"AdminName\",pwd) values(?,?)"),
                         {QStringLiteral("超级管理员"), QStringLiteral("1")})
                     .ok());
    EXPECT_FALSE(
        db.exec(QStringLiteral("insert into 会员类型(名称) values(?)"), {QStringLiteral("散客")})
            .ok());
    EXPECT_FALSE(
        db.exec(QStringLiteral("insert into 商品类型(名称) values(?)"), {QStringLiteral("普通")})
            .ok());
}

TEST_P(SchemaTest, OneOpenRentPerCopy) {
    const QString rent = QStringLiteral("insert into 出租记录(出租单号,条形码,已还) values(?,?,?)");
    execOk(rent, {QStringLiteral("1"), QStringLiteral("A1"), QStringLiteral("是")});
    execOk(rent, {QStringLiteral("2"), QStringLiteral("A1"), QStringLiteral("是")});
    execOk(rent, {QStringLiteral("3"), QStringLiteral("A1"), QStringLiteral("否")});
    EXPECT_FALSE(
        db.exec(rent, {QStringLiteral("4"), QStringLiteral("A1"), QStringLiteral("否")}).ok());
    EXPECT_EQ(count(QStringLiteral("出租记录")), 3);
}

TEST_P(SchemaTest, MoneySumIsExactToTheTenThousandth) {
    execOk(QStringLiteral("insert into 会员库(会员卡号,卡内金额) values(?,?)"),
           {QStringLiteral("x"), QVariant::fromValue(*Money::parse(u"0.0001"))});
    ASSERT_TRUE(db.inTransaction([&]() -> Status {
                      for (int i = 0; i < 1000; ++i) {
                          auto done = db.exec(
                              QStringLiteral("insert into 收入记录(项目,金额) values(?,?)"),
                              {QStringLiteral("租金"), QVariant::fromValue(*Money::parse(u"0.1"))});
                          if (!done)
                              return Error{done.error()};
                      }
                      return {};
                  }).ok());
    execOk(QStringLiteral("insert into 收入记录(项目,金额) values(?,?)"),
           {QStringLiteral("充值"), QVariant::fromValue(*Money::parse(u"0.0003"))});
    auto sum = db.scalarMoney(QStringLiteral("select sum(金额) from 收入记录"));
    ASSERT_TRUE(sum.ok()) << sum.error().toStdString();
    EXPECT_EQ(sum.value().toString(), QStringLiteral("100.0003"));
    auto none = db.scalarMoney(QStringLiteral("select sum(金额) from 支出记录"));
    ASSERT_TRUE(none.ok());
    EXPECT_TRUE(none.value().isZero());
}

TEST_P(SchemaTest, OlderVersionIsUpgradedOnOpen) {
    // a fresh database holding only the first version
    TestDatabase old(GetParam());
    ASSERT_TRUE(old.create(false).ok());
    ASSERT_TRUE(Schema::createUpTo(Db(), 1).ok());
    EXPECT_EQ(Schema::version(Db()).value(), 1);
    const QString rent = QStringLiteral("insert into 出租记录(出租单号,条形码,已还) values(?,?,?)");
    ASSERT_TRUE(
        Db().exec(rent, {QStringLiteral("1"), QStringLiteral("A1"), QStringLiteral("否")}).ok());
    ASSERT_TRUE(Schema::openOrCreate(Db()).ok());
    EXPECT_EQ(Schema::version(Db()).value(), Schema::CurrentVersion);
    // the upgrade brought the one-open-rent rule
    EXPECT_FALSE(
        Db().exec(rent, {QStringLiteral("2"), QStringLiteral("A1"), QStringLiteral("否")}).ok());
    // opening an up-to-date database changes nothing
    EXPECT_TRUE(Schema::openOrCreate(Db()).ok());
}

TEST_P(SchemaTest, ReferenceListsOfAnOlderVersionGetKeysInTheirStoredOrder) {
    TestDatabase old(GetParam());
    ASSERT_TRUE(old.create(false).ok());
    ASSERT_TRUE(Schema::createUpTo(Db(), 3).ok());
    for (const char* name : {"乙柜", "甲柜", "乙柜"})
        ASSERT_TRUE(Db().exec(QStringLiteral("insert into 存放位置(名称) values(?)"),
                              {QString::fromUtf8(name)})
                        .ok());
    ASSERT_TRUE(Db().exec(QStringLiteral("insert into 供应商(名称,所欠货款) values(?,?)"),
                          {QStringLiteral("书商"), QVariant::fromValue(*Money::parse(u"12.5"))})
                    .ok());
    ASSERT_TRUE(Schema::openOrCreate(Db()).ok());

    for (const char* table : {"存放位置", "介质", "供应商", "收支类型"})
        EXPECT_EQ(Db().columns(QString::fromUtf8(table)).last(), QStringLiteral("id")) << table;
    auto rows = Db().select(QStringLiteral("select 名称, id from 存放位置 order by id"));
    ASSERT_TRUE(rows.ok());
    QStringList names;
    while (rows.value().next())
        names << rows.value().text(QStringLiteral("名称"));
    EXPECT_EQ(names, (QStringList{"店内", "乙柜", "甲柜", "乙柜"}));
    auto owed = Db().scalarMoney(QStringLiteral("select 所欠货款 from 供应商 where 名称 = ?"),
                                 {QStringLiteral("书商")});
    ASSERT_TRUE(owed.ok());
    EXPECT_EQ(owed.value().toString(), QStringLiteral("12.5"));
    // a new row takes the next key
    auto added = Db().insert(QStringLiteral("insert into 存放位置(名称) values(?)"),
                             {QStringLiteral("丙柜")});
    ASSERT_TRUE(added.ok());
    EXPECT_EQ(added.value(), 5);
}

TEST_P(SchemaTest, ClearPasswordsOfAnOldBackupAreHashedWhenOpened) {
    // accounts as an old database holds them: clear text, a quote, empty, NULL
    const QList<std::pair<QString, QVariant>> accounts = {
        {QStringLiteral("超级管理员"), QStringLiteral("7302")},
        {QStringLiteral("店员"), QStringLiteral("it's \"我的\"")},
        {QStringLiteral("夜班"), QString(QLatin1String(""))},
        {QStringLiteral("停用"), QVariant()},
    };
    execOk(QStringLiteral("delete from 管理员"));
    for (const auto& [name, pwd] : accounts)
        execOk(QStringLiteral("insert into 管理员(\"AdminName\", pwd) values(?, ?)"), {name, pwd});

    ASSERT_TRUE(Schema::openOrCreate(db).ok());
    QStringList hashes;
    for (const auto& [name, pwd] : accounts) {
        auto rows =
            db.select(QStringLiteral("select pwd from 管理员 where \"AdminName\" = ?"), {name});
        ASSERT_TRUE(rows.ok());
        ASSERT_TRUE(rows.value().next());
        SCOPED_TRACE(name.toStdString());
        if (pwd.isNull()) {
            EXPECT_TRUE(rows.value().isNull(QStringLiteral("pwd")));
            continue;
        }
        const QString stored = rows.value().text(QStringLiteral("pwd"));
        EXPECT_TRUE(Passwords::isHash(stored));
        EXPECT_TRUE(Passwords::verify(stored, pwd.toString()));
        EXPECT_FALSE(Passwords::verify(stored, pwd.toString() + u'x'));
        hashes << stored;
    }
    // opening again leaves the hashes alone
    ASSERT_TRUE(Schema::openOrCreate(db).ok());
    auto again = db.select(QStringLiteral("select pwd from 管理员 where pwd is not null"));
    ASSERT_TRUE(again.ok());
    QStringList now;
    while (again.value().next())
        now << again.value().text(QStringLiteral("pwd"));
    std::sort(hashes.begin(), hashes.end());
    std::sort(now.begin(), now.end());
    EXPECT_EQ(now, hashes);
}

TEST_P(SchemaTest, NewerVersionIsRefused) {
    execOk(QStringLiteral("update schema_version set version = ?"), {Schema::CurrentVersion + 1});
    Status opened = Schema::openOrCreate(db);
    EXPECT_FALSE(opened.ok());
}

TEST_P(SchemaTest, OrderNumbersCountOnAcrossConnections) {
    EXPECT_EQ(OrderNumbers::peekNext(db, OrderNumbers::Kind::Rent).value(), 1);
    ASSERT_TRUE(database->openConnection(QStringLiteral("second")).ok());
    Db second(QStringLiteral("second"));
    qint64 first = 0, other = 0;
    ASSERT_TRUE(db.inTransaction([&]() -> Status {
                      auto n = OrderNumbers::take(db, OrderNumbers::Kind::Rent);
                      if (!n)
                          return Error{n.error()};
                      first = n.value();
                      return {};
                  }).ok());
    ASSERT_TRUE(second
                    .inTransaction([&]() -> Status {
                        auto n = OrderNumbers::take(second, OrderNumbers::Kind::Rent);
                        if (!n)
                            return Error{n.error()};
                        other = n.value();
                        return {};
                    })
                    .ok());
    EXPECT_EQ(first, 1);
    EXPECT_EQ(other, 2);
    EXPECT_EQ(OrderNumbers::peekNext(db, OrderNumbers::Kind::Sale).value(), 1);
}

TEST_P(SchemaTest, SeveralCounterRowsFollowTheFirst) {
    execOk(QStringLiteral("insert into 系统信息(出租单号,销售单号) values(40,7)"));
    Result<qint64> taken = Error{};
    ASSERT_TRUE(db.inTransaction([&]() -> Status {
                      taken = OrderNumbers::take(db, OrderNumbers::Kind::Sale);
                      return taken ? Status() : Status(Error{taken.error()});
                  }).ok());
    // whichever row the engine gives first, every row now holds the number taken
    EXPECT_TRUE(taken.value() == 1 || taken.value() == 8) << taken.value();
    EXPECT_EQ(count(QStringLiteral("系统信息"), QStringLiteral("销售单号 = ?"), {taken.value()}),
              2);
}

TEST_P(SchemaTest, AFileNeverAnalysedReadsOpenRentsThroughTheirIndexOnceOpened) {
    if (db.dialect().statisticsMissing().isEmpty())
        GTEST_SKIP() << "the server keeps its statistics by itself";
    ASSERT_TRUE(db.inTransaction([&]() -> Status {
                      for (int i = 0; i < 3000; ++i)
                          if (auto r =
                                  db.exec(QStringLiteral("insert into 出租记录(出租单号,条形码,"
                                                         "已还) values(?,?,?)"),
                                          {QString::number(i), QStringLiteral("C%1").arg(i),
                                           i < 2990 ? QStringLiteral("是") : QStringLiteral("否")});
                              !r)
                              return Error{r.error()};
                      return {};
                  }).ok());
    auto plan = [&] {
        auto rows = db.select(QStringLiteral("explain query plan select * from (select * from "
                                             "出租记录 where 已还 = ?) as t order by id limit 200"),
                              {QStringLiteral("否")});
        QStringList steps;
        while (rows && rows.value().next())
            steps << rows.value().text(QStringLiteral("detail"));
        return steps.join(u'|');
    };
    // the open rents are the newest: walking the table in order finds them last
    EXPECT_FALSE(plan().contains(QStringLiteral("出租记录_未还"))) << plan().toStdString();
    ASSERT_TRUE(Schema::openOrCreate(db).ok());
    EXPECT_TRUE(plan().contains(QStringLiteral("出租记录_未还"))) << plan().toStdString();
}
