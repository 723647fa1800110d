#include "tools/core/Backup.h"
#include "store/Connection.h"
#include "store/Schema.h"
#include "support/TestDatabase.h"
#include "tools/core/Restore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

const QByteArray Picture("\x89PNG\r\n\x1a\n\0\0\xff", 11);

ConnectionSpec specOf(const TestDatabase& database) {
    auto target = ConnectionSpec::parse(database.connectionString(), database.folder());
    EXPECT_TRUE(target.ok());
    return target.value();
}

} // namespace

// A shop's rows with the values that are easy to get wrong on the way: an
// amount to the ten-thousandth, a picture's bytes, a memo with a line break,
// a missing date, identity values with a gap.
class BackupTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        execOk(
            QStringLiteral("insert into \"出租库\" (\"条形码\", \"商品名称\", \"定价\", \"简介\", "
                           "\"借出次数\", \"登记日期\", \"pic\") values (?, ?, ?, ?, ?, ?, ?)"),
            {"B001", "哈利·波特", QVariant::fromValue(*Money::parse(u"12.3457")),
             "第一行\r\n第二行", 3, QVariant(), Picture});
        for (const char* amount : {"0.0001", "-5.5", "100"})
            execOk(QStringLiteral("insert into \"收入记录\" (\"项目\", \"金额\", \"日期\") "
                                  "values ('租金', ?, ?)"),
                   {QVariant::fromValue(*Money::parse(QString::fromLatin1(amount))),
                    QDateTime(QDate(2009, 11, 3), QTime(18, 4, 5))});
        execOk(QStringLiteral("delete from \"收入记录\" where \"金额\" = ?"),
               {QVariant::fromValue(*Money::parse(u"-5.5"))});
    }

    QTemporaryDir dir;
};
SHOP_ON_BOTH_ENGINES(BackupTest);

TEST_P(BackupTest, ARestoredBackupHoldsEveryValueAndCountsOnFromTheLargestIdentity) {
    const QString file = dir.filePath(Backup::defaultFileName(QDateTime::currentDateTime()));
    auto made = Backup::make(db, file);
    ASSERT_TRUE(made.ok()) << made.error().toStdString();
    EXPECT_FALSE(QFileInfo::exists(file + QStringLiteral(".part")));
    auto checked = Backup::check(file);
    ASSERT_TRUE(checked.ok()) << checked.error().toStdString();
    EXPECT_EQ(checked.value().figures, made.value().figures);
    EXPECT_EQ(checked.value().schemaVersion, Schema::CurrentVersion);

    // into a second database of the same engine, which already holds rows
    TestDatabase second(GetParam());
    ASSERT_TRUE(second.create().ok());
    // nothing else may have the replaced database open
    Connection::close(Connection::Shared);
    auto restored = Restore::run(file, specOf(second), dir.filePath(QStringLiteral("kept")));
    ASSERT_TRUE(restored.ok()) << restored.error().toStdString();
    EXPECT_TRUE(QFileInfo::exists(restored.value().keptAside));

    ASSERT_TRUE(second.openConnection(QStringLiteral("restored")).ok());
    const Db back(QStringLiteral("restored"));
    auto figures = ShopFigures::read(back);
    ASSERT_TRUE(figures.ok());
    EXPECT_EQ(ShopFigures::difference(made.value().figures, figures.value()), QString());
    auto rows = back.select(QStringLiteral("select * from \"出租库\" where \"条形码\" = 'B001'"));
    ASSERT_TRUE(rows.ok() && rows.value().next());
    EXPECT_EQ(rows.value().money(QStringLiteral("定价")), *Money::parse(u"12.3457"));
    EXPECT_EQ(rows.value().text(QStringLiteral("简介")), QStringLiteral("第一行\r\n第二行"));
    EXPECT_EQ(rows.value().bytes(QStringLiteral("pic")), Picture);
    EXPECT_TRUE(rows.value().isNull(QStringLiteral("登记日期")));
    EXPECT_EQ(rows.value().integer(QStringLiteral("借出次数")), 3);
    auto income =
        back.select(QStringLiteral("select id, \"金额\", \"日期\" from \"收入记录\" order by id"));
    ASSERT_TRUE(income.ok());
    QList<qint64> ids;
    while (income.value().next()) {
        ids << income.value().integer(QStringLiteral("id"));
        EXPECT_EQ(income.value().dateTime(QStringLiteral("日期")),
                  QDateTime(QDate(2009, 11, 3), QTime(18, 4, 5)));
    }
    EXPECT_EQ(ids, (QList<qint64>{1, 3}));
    // a new row goes on after the largest restored identity
    auto next = back.insert(
        QStringLiteral("insert into \"收入记录\" (\"项目\", \"金额\") values ('租金', 0)"), {});
    ASSERT_TRUE(next.ok()) << next.error().toStdString();
    EXPECT_EQ(next.value(), 4);
}

TEST_P(BackupTest, ACopyTakenWhileAnotherWorkstationBooksIsOfOneMoment) {
    // each booking writes one income and one expense row: in any one moment
    // the two tables have grown alike
    std::atomic<bool> stop = false;
    std::atomic<int> booked = 0;
    std::thread booker([&] {
        ASSERT_TRUE(database->openConnection(QStringLiteral("booker-thread")).ok());
        const Db other(QStringLiteral("booker-thread"));
        while (!stop) {
            const Status done = other.inTransaction([&]() -> Status {
                for (const char* table : {"收入记录", "支出记录"}) {
                    auto written = other.exec(
                        QStringLiteral("insert into %1 (\"项目\", \"金额\") values ('x', 1)")
                            .arg(Db::quoted(QString::fromUtf8(table))));
                    if (!written)
                        return Error{written.error()};
                }
                return {};
            });
            if (done)
                ++booked;
        }
        Connection::close(QStringLiteral("booker-thread"));
    });
    QElapsedTimer waited;
    waited.start();
    while (booked < 20 && waited.elapsed() < 10000)
        std::this_thread::yield();
    const QString file = dir.filePath(QStringLiteral("b.bak"));
    auto made = Backup::make(db, file);
    stop = true;
    booker.join();
    ASSERT_TRUE(made.ok()) << made.error().toStdString();
    QMap<QString, TableFigures> byName;
    for (const TableFigures& table : made.value().figures.tables)
        byName.insert(table.table, table);
    // two income rows were there before
    EXPECT_EQ(byName[QStringLiteral("收入记录")].rows - 2, byName[QStringLiteral("支出记录")].rows);
    EXPECT_GT(byName[QStringLiteral("支出记录")].rows, 0);
    EXPECT_TRUE(Backup::check(file).ok());
}

TEST_P(BackupTest, AServerIsNotReplacedWhileAnotherWorkstationIsConnected) {
    if (GetParam() == Engine::Sqlite)
        GTEST_SKIP() << "an embedded file has no sessions";
    const QString file = dir.filePath(QStringLiteral("b.bak"));
    ASSERT_TRUE(Backup::make(db, file).ok());
    // the shared connection of this test is the other workstation
    auto restored = Restore::run(file, specOf(*database), dir.filePath(QStringLiteral("kept")));
    ASSERT_FALSE(restored.ok());
    EXPECT_TRUE(restored.error().startsWith(QStringLiteral("还有 1 个其他连接在使用这个数据库")))
        << restored.error().toStdString();
    EXPECT_EQ(count(QStringLiteral("收入记录")), 2);
}

// What is refused, and that it is refused before anything is changed.
TEST(BackupFile, WhatIsNoSoundBackupIsRefusedWithItsReason) {
    TestDatabase database(Engine::Sqlite);
    ASSERT_TRUE(database.create().ok());
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.bak"));
    ASSERT_TRUE(Backup::make(Db(), good).ok());
    EXPECT_FALSE(Backup::make(Db(), good).ok()) << "an existing file is never overwritten";

    auto variant = [&](const QString& name, const QString& sql) {
        const QString file = dir.filePath(name);
        QFile::copy(good, file);
        QFile(file).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        ConnectionSpec variantFile;
        variantFile.file = file;
        EXPECT_TRUE(Connection::open(variantFile, QStringLiteral("variant")).ok());
        EXPECT_TRUE(Db(QStringLiteral("variant")).exec(sql).ok()) << sql.toStdString();
        Connection::close(QStringLiteral("variant"));
        return file;
    };
    QFile text(dir.filePath(QStringLiteral("text.bak")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a database");
    text.close();
    const struct {
        QString file;
        QString start;
    } cases[] = {
        {text.fileName(), QStringLiteral("该文件不是本系统的备份文件")},
        {variant(QStringLiteral("plain.bak"), QStringLiteral("drop table backup_manifest")),
         QStringLiteral("该文件不是本系统的备份文件")},
        {variant(QStringLiteral("newer.bak"),
                 QStringLiteral("update backup_manifest set value = '99' "
                                "where key = 'schema_version'")),
         QStringLiteral("备份文件来自较新的程序 (数据库版本 99)")},
        {variant(QStringLiteral("changed.bak"),
                 QStringLiteral("update \"会员类型\" set \"开户费\" = \"开户费\" + 1")),
         QStringLiteral("备份文件已损坏")},
    };
    for (const auto& c : cases) {
        auto checked = Backup::check(c.file);
        ASSERT_FALSE(checked.ok()) << c.file.toStdString();
        EXPECT_TRUE(checked.error().startsWith(c.start)) << checked.error().toStdString();
        // nothing of the target is touched
        const QString target = dir.filePath(QStringLiteral("target.db"));
        ConnectionSpec targetFile;
        targetFile.file = target;
        EXPECT_FALSE(Restore::run(c.file, targetFile, dir.path()).ok());
        EXPECT_FALSE(QFileInfo::exists(target));
    }
    // cancelled, a backup leaves no file
    const QString cancelled = dir.filePath(QStringLiteral("cancelled.bak"));
    EXPECT_FALSE(Backup::make(Db(), cancelled, [](int) { return false; }).ok());
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("cancelled*")}, QDir::Files),
              QStringList());
}
