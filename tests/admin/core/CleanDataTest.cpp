#include "admin/core/CleanData.h"
#include "support/TestDatabase.h"

#include <QMap>
#include <gtest/gtest.h>

// One row in every table initialisation may empty (two rentals: one
// settled, one still out), a log row and counters that must survive.
class CleanDataTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        seed();
    }
    void seed() {
        for (const char* table : {"出租库", "销售库", "会员库", "出租记录", "收入记录", "销售记录",
                                  "进货记录", "支出记录", "退货记录", "管理员日志"})
            execOk(QStringLiteral("delete from ") + QString::fromUtf8(table));
        const QStringList seed = {
            "insert into 出租库(条形码, 状态) values('R1', '待租')",
            "insert into 销售库(条形码, 库存) values('S1', 3)",
            "insert into 会员库(会员卡号) values('M1')",
            "insert into 出租记录(条形码, 已还) values('R1', '是')",
            "insert into 出租记录(条形码, 已还) values('R2', '否')",
            "insert into 收入记录(项目) values('租金')",
            "insert into 销售记录(条形码) values('S1')",
            "insert into 进货记录(条形码) values('S1')",
            "insert into 支出记录(项目) values('房租')",
            "insert into 退货记录(条形码) values('S1')",
            "insert into 管理员日志(事件) values('修改库存')",
            "update 系统信息 set 出租单号 = 7, 销售单号 = 9",
        };
        for (const QString& sql : seed)
            execOk(sql);
    }
    QMap<QString, qint64> counts() {
        QMap<QString, qint64> all;
        for (const char* table :
             {"出租库", "销售库", "会员库", "出租记录", "收入记录", "销售记录", "进货记录",
              "支出记录", "退货记录", "管理员", "管理员日志", "会员类型", "商品类型"})
            all.insert(QString::fromUtf8(table), count(QString::fromUtf8(table)));
        all.insert(
            QStringLiteral("单号"),
            db.scalarInteger(QStringLiteral("select 出租单号 * 100 + 销售单号 from 系统信息"))
                .value()
                .value_or(-1));
        return all;
    }
};
SHOP_ON_BOTH_ENGINES(CleanDataTest);

TEST_P(CleanDataTest, ChosenStepsRunInTheirOrderAndTouchNothingElse) {
    struct Case {
        const char* name;
        QList<int> chosen;
        QStringList messages;
        QMap<QString, qint64> emptied; // table -> rows left, where it changes
    };
    const QList<Case> cases = {
        {"nothing ticked", {}, {}, {}},
        {"settled rentals only", {5}, {"删除已还出租记录数据完毕!"}, {{"出租记录", 1}}},
        {"both income boxes",
         {8, 4},
         {"删除收入记录数据完毕!", "删除收入记录数据完毕!"},
         {{"收入记录", 0}}},
        {"all rentals and settled ones",
         {5, 3},
         {"删除出租记录数据完毕!", "删除已还出租记录数据完毕!"},
         {{"出租记录", 0}}},
        {"every box",
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
         {"删除出租库数据完毕!", "删除销售库数据完毕!", "删除会员数据完毕!",
          "删除出租记录数据完毕!", "删除收入记录数据完毕!", "删除已还出租记录数据完毕!",
          "删除销售记录数据完毕!", "删除进货记录数据完毕!", "删除收入记录数据完毕!",
          "删除支出记录数据完毕!", "删除退货记录数据完毕!"},
         {{"出租库", 0},
          {"销售库", 0},
          {"会员库", 0},
          {"出租记录", 0},
          {"收入记录", 0},
          {"销售记录", 0},
          {"进货记录", 0},
          {"支出记录", 0},
          {"退货记录", 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        seed();
        QMap<QString, qint64> expected = counts();
        for (auto it = c.emptied.cbegin(); it != c.emptied.cend(); ++it)
            expected[it.key()] = it.value();
        auto ran = CleanData::run(db, c.chosen);
        ASSERT_TRUE(ran.ok()) << ran.error().toStdString();
        EXPECT_EQ(ran.value(), c.messages);
        EXPECT_EQ(counts(), expected);
    }
}

TEST_P(CleanDataTest, AFailingStepDeletesNothingAtAll) {
    if (GetParam() == Engine::Sqlite) {
        execOk(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON 退货记录 "
                              "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    } else {
        execOk(QStringLiteral("CREATE FUNCTION refuse() RETURNS trigger AS "
                              "$$ BEGIN RAISE EXCEPTION 'refused'; END $$ LANGUAGE plpgsql"));
        execOk(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON 退货记录 "
                              "FOR EACH ROW EXECUTE FUNCTION refuse()"));
    }
    const auto before = counts();
    auto ran = CleanData::run(db, {0, 2, 3, 10});
    EXPECT_FALSE(ran.ok());
    EXPECT_TRUE(ran.error().contains(QStringLiteral("refused"))) << ran.error().toStdString();
    EXPECT_EQ(counts(), before);
    EXPECT_FALSE(CleanData::run(db, {11}).ok());
    EXPECT_EQ(counts(), before);
}

TEST(CleanData, PasswordMustMatchExactly) {
    EXPECT_TRUE(CleanData::passwordMatches(QStringLiteral("kqz507318264")));
    for (const char* wrong : {"", "kqz50731826", "kqz5073182644", "KQZ507318264", " kqz507318264",
                              "kqz507318264 ", "kqz507318265"})
        EXPECT_FALSE(CleanData::passwordMatches(QString::fromUtf8(wrong))) << wrong;
    ASSERT_EQ(CleanData::steps().size(), 11);
    QStringList captions;
    for (const auto& step : CleanData::steps())
        captions << step.caption;
    EXPECT_EQ(captions, QStringList({"清空出租库", "清空销售库", "清空会员库", "删除全部出租记录",
                                     "清空收入记录", "删除已还出租记录", "销售记录", "进货记录",
                                     "收入记录", "支出记录", "退货记录"}));
}
