#include "ui/DataGrid.h"
#include "support/ModalStandIns.h"
#include "support/TestDatabase.h"
#include "ui/ListWindow.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QVariant money(const char* text) {
    return QVariant::fromValue(*Money::parse(QString::fromUtf8(text)));
}

class DataGridTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        addMember("A001", "张三", "普通会员", "12.5", "3", QDate(2026, 1, 2));
        addMember("A002", "李四", "普通会员", "0.0001", "0", QDate(2026, 2, 3));
        addMember("A003", "王五", "金卡", "100", "7.25", QDate(2026, 3, 4));
        addMember("A004", "赵六", "普通会员", "33.3333", "1", QDate(2026, 4, 5));
        addMember("B100", "50%折扣", "金卡", "-2.5", "0", QDate(2026, 5, 6));
    }
    void addMember(const char* card, const char* name, const char* type, const char* balance,
                   const char* points, QDate registered) {
        execOk(QStringLiteral(
                   "insert into 会员库(会员卡号,会员姓名,会员类型,卡内金额,会员积分,登记日期,"
                   "有效期) values(?,?,?,?,?,?,?)"),
               {QString::fromUtf8(card), QString::fromUtf8(name), QString::fromUtf8(type),
                money(balance), money(points), registered, QDateTime(registered, QTime(13, 5, 9))});
    }
    static void setUpMemberGrid(DataGrid& grid) {
        grid.setMoneyColumns({QStringLiteral("卡内金额"), QStringLiteral("会员积分")});
        grid.setFooter(QStringLiteral("会员卡号"),
                       {QStringLiteral("卡内金额"), QStringLiteral("会员积分")});
    }
    int column(DataGrid& grid, const char* name) {
        return grid.model()->columnIndex(QString::fromUtf8(name));
    }
};
SHOP_ON_BOTH_ENGINES(DataGridTest);

} // namespace

TEST_P(DataGridTest, FooterEqualsTheDatabasesOwnCountAndSumOnAFilteredList) {
    DataGrid grid;
    QAbstractItemModelTester tester(grid.model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    setUpMemberGrid(grid);
    const QString where = QStringLiteral(" where 会员类型 = ?");
    const QVariantList params{QStringLiteral("普通会员")};
    ASSERT_TRUE(grid.setQuery({QStringLiteral("select * from 会员库") + where, params}).ok());

    EXPECT_EQ(grid.footerCount(),
              count(QStringLiteral("会员库"), QStringLiteral("会员类型 = ?"), params));
    auto sum = db.scalarMoney(QStringLiteral("select sum(卡内金额) from 会员库") + where, params);
    ASSERT_TRUE(sum.ok());
    EXPECT_EQ(grid.footerSum(QStringLiteral("卡内金额")), sum.value());
    // exact to the ten-thousandth: 12.5 + 0.0001 + 33.3333
    EXPECT_EQ(grid.footerText(QStringLiteral("卡内金额")), QStringLiteral("45.8334"));
    EXPECT_EQ(grid.footerText(QStringLiteral("会员积分")), QStringLiteral("4"));
    EXPECT_EQ(grid.footerText(QStringLiteral("会员卡号")), QStringLiteral("共3条"));
    auto* label = grid.findChild<QLabel*>(QStringLiteral("footer:卡内金额"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("45.8334"));

    // a figure of ten digits and a long count are shown whole
    execOk(QStringLiteral("update 会员库 set 卡内金额 = ?"), {money("1234567890")});
    grid.view()->horizontalHeader()->resizeSection(column(grid, "卡内金额"), 20);
    grid.view()->horizontalHeader()->resizeSection(column(grid, "会员卡号"), 20);
    ASSERT_TRUE(grid.reload().ok());
    EXPECT_EQ(grid.footerText(QStringLiteral("卡内金额")), QStringLiteral("3703703670"));
    EXPECT_EQ(label->text(), QStringLiteral("3703703670"));
    for (const char* shown : {"卡内金额", "会员卡号"}) {
        auto* figure =
            grid.findChild<QLabel*>(QStringLiteral("footer:") + QString::fromUtf8(shown));
        EXPECT_GE(figure->width(), figure->sizeHint().width()) << shown;
        EXPECT_GE(figure->width(), figure->fontMetrics().horizontalAdvance(figure->text()))
            << shown;
    }

    // a list with no rows: zero, not an error
    ASSERT_TRUE(
        grid.setQuery({QStringLiteral("select * from 会员库") + where, {QStringLiteral("没有")}})
            .ok());
    EXPECT_EQ(grid.footerCount(), 0);
    EXPECT_EQ(grid.footerText(QStringLiteral("卡内金额")), QStringLiteral("0"));
    EXPECT_FALSE(grid.hasCurrentRow());
    EXPECT_TRUE(grid.value(QStringLiteral("会员卡号")).isNull());
}

TEST_P(DataGridTest, AFooterFigureBeyondANarrowWindowStaysInViewByName) {
    DataGrid grid;
    setUpMemberGrid(grid);
    grid.setColumnOrder({QStringLiteral("会员卡号"), QStringLiteral("住址"), QStringLiteral("备注"),
                         QStringLiteral("卡内金额")});
    grid.resize(320, 240);
    grid.show();
    ASSERT_TRUE(grid.setQuery({QStringLiteral("select * from 会员库"), {}}).ok());
    EXPECT_EQ(grid.footerText(QStringLiteral("卡内金额")), QStringLiteral("143.3334"));
    QCoreApplication::processEvents();
    auto* label = grid.findChild<QLabel*>(QStringLiteral("footer:卡内金额"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), QStringLiteral("卡内金额 143.3334"));
    EXPECT_LE(label->geometry().right(), grid.width());
    EXPECT_GE(label->geometry().left(), 0);
    // scrolled to it, the figure stands under its own column again
    grid.view()->scrollTo(grid.model()->index(0, column(grid, "卡内金额")));
    QCoreApplication::processEvents();
    EXPECT_EQ(label->text(), QStringLiteral("143.3334"));
}

TEST_P(DataGridTest, HeaderValueFilterNarrowsTheListAndTheFooterFollows) {
    DataGrid grid;
    QAbstractItemModelTester tester(grid.model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    setUpMemberGrid(grid);
    ASSERT_TRUE(grid.setQuery({QStringLiteral("select * from 会员库"), {}}).ok());
    auto types = grid.filterValues(QStringLiteral("会员类型"));
    ASSERT_TRUE(types.ok()) << types.error().toStdString();
    EXPECT_EQ(types.value(), (QVariantList{QStringLiteral("普通会员"), QStringLiteral("金卡")}));

    ASSERT_TRUE(grid.setValueFilter(QStringLiteral("会员类型"), QStringLiteral("金卡")).ok());
    EXPECT_EQ(grid.footerCount(), 2);
    EXPECT_EQ(grid.footerText(QStringLiteral("卡内金额")), QStringLiteral("97.5"));
    EXPECT_EQ(grid.model()->headerData(column(grid, "会员类型"), Qt::Horizontal).toString(),
              QStringLiteral("会员类型 (筛选)"));
    // a stored amount offered by the header narrows by its stored form
    auto points = grid.filterValues(QStringLiteral("会员积分"));
    ASSERT_TRUE(points.ok());
    ASSERT_EQ(points.value().size(), 2);
    ASSERT_TRUE(grid.setValueFilter(QStringLiteral("会员积分"), points.value().last()).ok());
    EXPECT_EQ(grid.footerCount(), 1);
    EXPECT_EQ(grid.text(QStringLiteral("会员卡号")), QStringLiteral("A003"));
    // export reads the rows as filtered
    const ListQuery shown = grid.currentQuery();
    auto exported = db.scalarInteger(
        QStringLiteral("select count(*) from (%1) as x").arg(shown.sql), shown.params);
    ASSERT_TRUE(exported.ok());
    EXPECT_EQ(exported.value(), 1);
    // typed text is a bound value, never part of the statement
    ASSERT_TRUE(
        grid.setValueFilter(QStringLiteral("会员类型"), QStringLiteral("x' or '1'='1")).ok());
    EXPECT_EQ(grid.footerCount(), 0);
    EXPECT_FALSE(grid.setValueFilter(QStringLiteral("没有的列"), 1).ok());

    ASSERT_TRUE(grid.clearValueFilter().ok());
    EXPECT_EQ(grid.footerCount(), 5);
    EXPECT_FALSE(grid.hasValueFilter(QStringLiteral("会员类型")));
}

TEST_P(DataGridTest, ShowsTypedValuesAndReadsTheCurrentRow) {
    DataGrid grid;
    QAbstractItemModelTester tester(grid.model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    setUpMemberGrid(grid);
    grid.setHiddenColumns({QStringLiteral("密码"), QStringLiteral("相片")});
    grid.setCaption(QStringLiteral("会员性别"), QStringLiteral("性别"));
    grid.setColumnOrder({QStringLiteral("会员姓名"), QStringLiteral("会员卡号")});
    ASSERT_TRUE(grid.setQuery({QStringLiteral("select * from 会员库 where 会员卡号 = ?"),
                               {QStringLiteral("A004")}})
                    .ok());
    ASSERT_TRUE(grid.hasCurrentRow());
    EXPECT_EQ(grid.currentRow(), 0);
    EXPECT_EQ(grid.text(QStringLiteral("卡内金额")), QStringLiteral("33.3333"));
    EXPECT_EQ(grid.money(QStringLiteral("卡内金额")), *Money::parse(u"33.3333"));
    EXPECT_EQ(grid.text(QStringLiteral("登记日期")), QStringLiteral("2026-04-05"));
    EXPECT_EQ(grid.text(QStringLiteral("有效期")), QStringLiteral("2026-04-05 13:05:09"));
    EXPECT_EQ(grid.text(QStringLiteral("会员姓名")), QStringLiteral("赵六"));

    GridModel* model = grid.model();
    EXPECT_EQ(model->data(model->index(0, column(grid, "卡内金额"))).toString(),
              QStringLiteral("33.3333"));
    EXPECT_EQ(model->headerData(column(grid, "会员性别"), Qt::Horizontal).toString(),
              QStringLiteral("性别"));
    EXPECT_TRUE(grid.view()->isColumnHidden(column(grid, "密码")));
    EXPECT_FALSE(grid.view()->isColumnHidden(column(grid, "会员卡号")));
    QHeaderView* header = grid.view()->horizontalHeader();
    EXPECT_EQ(header->visualIndex(column(grid, "会员姓名")), 0);
    EXPECT_EQ(header->visualIndex(column(grid, "会员卡号")), 1);

    // yes/no columns: boolean on PostgreSQL, 0/1 on SQLite, shown alike
    DataGrid types;
    types.setYesNoColumns({QStringLiteral("免押金"), QStringLiteral("归还时租金卡内扣除")});
    ASSERT_TRUE(types
                    .setQuery({QStringLiteral("select * from 会员类型 where 名称 = ?"),
                               {QStringLiteral("散客")}})
                    .ok());
    EXPECT_EQ(types.text(QStringLiteral("免押金")), QStringLiteral("否"));
}

TEST_P(DataGridTest, HeaderSortRequeriesAndExportSeesTheSameOrder) {
    DataGrid grid;
    QAbstractItemModelTester tester(grid.model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    setUpMemberGrid(grid);
    ASSERT_TRUE(grid.setQuery({QStringLiteral("select * from 会员库 where 会员卡号 like ?"),
                               {QStringLiteral("A%")}})
                    .ok());
    grid.view()->sortByColumn(column(grid, "卡内金额"), Qt::DescendingOrder);
    ASSERT_EQ(grid.loadedRowCount(), 4);
    EXPECT_EQ(grid.currentRow(), 0);
    EXPECT_EQ(grid.text(QStringLiteral("会员卡号")), QStringLiteral("A003"));
    QStringList shown;
    for (int row = 0; row < grid.loadedRowCount(); ++row)
        shown << grid.model()->record(row).value(QStringLiteral("会员卡号")).toString();
    EXPECT_EQ(shown, (QStringList{"A003", "A004", "A001", "A002"}));

    const ListQuery current = grid.currentQuery();
    EXPECT_EQ(current.params, grid.query().params);
    auto rows = db.select(current.sql, current.params);
    ASSERT_TRUE(rows.ok());
    QStringList exported;
    while (rows.value().next())
        exported << rows.value().text(QStringLiteral("会员卡号"));
    EXPECT_EQ(exported, shown);
    // sorting changes neither the rows counted nor the sums
    EXPECT_EQ(grid.footerCount(), 4);

    // reload keeps the sort
    execOk(QStringLiteral("update 会员库 set 卡内金额 = ? where 会员卡号 = ?"),
           {money("500"), QStringLiteral("A002")});
    ASSERT_TRUE(grid.reload().ok());
    EXPECT_EQ(grid.text(QStringLiteral("会员卡号")), QStringLiteral("A002"));
    EXPECT_EQ(grid.footerText(QStringLiteral("卡内金额")), QStringLiteral("645.8333"));

    EXPECT_TRUE(grid.locate(QStringLiteral("会员卡号"), QStringLiteral("A001")));
    EXPECT_EQ(grid.text(QStringLiteral("会员姓名")), QStringLiteral("张三"));
    EXPECT_FALSE(grid.locate(QStringLiteral("会员卡号"), QStringLiteral("Z999")));
}

TEST_P(DataGridTest, AFailingStatementKeepsTheRowsShown) {
    DataGrid grid;
    ASSERT_TRUE(grid.setQuery({QStringLiteral("select * from 会员库"), {}}).ok());
    const Status failed = grid.setQuery({QStringLiteral("select * from 没有这个表"), {}});
    EXPECT_FALSE(failed.ok());
    EXPECT_FALSE(failed.error().isEmpty());
    EXPECT_EQ(grid.loadedRowCount(), 5);
    EXPECT_EQ(grid.query().sql, QStringLiteral("select * from 会员库"));
}

// ------------------------------------------------------------- ListWindow

namespace {

class MemberList : public ListWindow {
public:
    MemberList() : ListWindow(QStringLiteral("会员库")) {
        addTool(QStringLiteral("添加"));
        addShowAllTool();
        addCloseTool();
        setSearchFields({QStringLiteral("会员卡号"), QStringLiteral("会员姓名"),
                         QStringLiteral("联系方式"), QStringLiteral("住址")},
                        QStringLiteral("会员姓名"));
        grid()->setMoneyColumns({QStringLiteral("卡内金额")});
        grid()->setFooter(QStringLiteral("会员卡号"), {QStringLiteral("卡内金额")});
        showAll();
    }
};

class ListWindowTest : public DataGridTest {};
SHOP_ON_BOTH_ENGINES(ListWindowTest);

} // namespace

TEST_P(ListWindowTest, SearchFindsContainedTextAndShowAllBringsEveryRowBack) {
    PromptRecorder prompts;
    MemberList list;
    EXPECT_EQ(list.grid()->footerCount(), 5);
    EXPECT_EQ(list.fieldChooser()->currentText(), QStringLiteral("会员姓名"));
    EXPECT_EQ(list.fieldChooser()->count(), 4);

    list.searchBox()->insert(QStringLiteral("四")); // as an input method commits it
    QTest::mouseClick(list.searchButton(), Qt::LeftButton);
    EXPECT_EQ(list.grid()->footerCount(), 1);
    EXPECT_EQ(list.grid()->text(QStringLiteral("会员卡号")), QStringLiteral("A002"));

    // a typed % is a character, not a wildcard
    list.searchBox()->setText(QStringLiteral("%"));
    QTest::keyClick(list.searchBox(), Qt::Key_Return);
    EXPECT_EQ(list.grid()->footerCount(), 1);
    EXPECT_EQ(list.grid()->text(QStringLiteral("会员卡号")), QStringLiteral("B100"));

    // the export sees exactly what the search shows
    const ListQuery current = list.currentQuery();
    auto n = db.scalarInteger(QStringLiteral("select count(*) from (%1) as t").arg(current.sql),
                              current.params);
    ASSERT_TRUE(n.ok());
    EXPECT_EQ(n.value(), 1);

    // an empty text lists the rows whose column is not empty
    execOk(QStringLiteral("update 会员库 set 住址 = ? where 会员卡号 in ('A001','A003')"),
           {QStringLiteral("北京")});
    list.fieldChooser()->setEditText(QStringLiteral("住址"));
    list.searchBox()->clear();
    EXPECT_TRUE(list.search());
    EXPECT_EQ(list.grid()->footerCount(), 2);

    list.tool(QStringLiteral("显示全部"))->trigger();
    EXPECT_EQ(list.grid()->footerCount(), 5);
    EXPECT_TRUE(prompts.shown().isEmpty());
}

TEST_P(ListWindowTest, SearchOnAColumnNotInTheTableIsRefusedAndChangesNothing) {
    PromptRecorder prompts;
    MemberList list;
    list.searchBox()->setText(QStringLiteral("张"));
    EXPECT_TRUE(list.search());
    const ListQuery before = list.currentQuery();
    ASSERT_EQ(list.grid()->footerCount(), 1);

    for (const QString& column :
         {QStringLiteral("会员姓名 like '%' or 1=1 --"), QStringLiteral("不存在"), QString(),
          QStringLiteral("会员姓名\"")}) {
        prompts.clear();
        list.fieldChooser()->setEditText(column);
        list.searchBox()->setText(QStringLiteral("x"));
        QTest::mouseClick(list.searchButton(), Qt::LeftButton);
        EXPECT_EQ(prompts.shown().size(), 1) << column.toStdString();
        EXPECT_EQ(prompts.lastText(), QStringLiteral("没有这个查找字段: ") + column.trimmed());
        EXPECT_EQ(list.currentQuery().sql, before.sql);
        EXPECT_EQ(list.currentQuery().params, before.params);
        EXPECT_EQ(list.grid()->footerCount(), 1);
    }
    EXPECT_EQ(count(QStringLiteral("会员库")), 5);
}

TEST_P(ListWindowTest, TooLongOrUnstorableSearchTextIsRefusedAndTheListStays) {
    PromptRecorder prompts;
    MemberList list;
    const ListQuery before = list.currentQuery();
    const struct {
        QString typed;
        QString message;
    } cases[] = {
        {QString(Db::MaxSearchLength + 1, u'张'), QStringLiteral("查找内容太长, 最多 200 个字.")},
        {QStringLiteral("a") + QChar(0xD800), Db::UnstorableText},
    };
    for (const auto& c : cases) {
        prompts.clear();
        list.searchBox()->setText(c.typed);
        EXPECT_FALSE(list.search());
        EXPECT_EQ(prompts.lastText(), c.message);
        EXPECT_EQ(list.currentQuery().sql, before.sql);
        EXPECT_EQ(list.grid()->footerCount(), 5);
    }
    // exactly the longest allowed text still searches
    list.searchBox()->setText(QString(Db::MaxSearchLength, u'张'));
    EXPECT_TRUE(list.search());
    EXPECT_EQ(list.grid()->footerCount(), 0);
}

TEST_P(ListWindowTest, ModifyAndDeleteOnAnEmptyListAreRefused) {
    PromptRecorder prompts;
    MemberList list;
    list.searchBox()->setText(QStringLiteral("nobody"));
    ASSERT_TRUE(list.search());
    EXPECT_FALSE(list.requireCurrentRow());
    EXPECT_EQ(prompts.lastText(), QStringLiteral("没有选中的记录!"));
    list.tool(QStringLiteral("显示全部"))->trigger();
    EXPECT_TRUE(list.requireCurrentRow());
}

// ------------------------------------------------------------ lazy rows

namespace {
class LazyGridTest : public EngineTest {};
INSTANTIATE_TEST_SUITE_P(Sqlite, LazyGridTest, ::testing::Values(Engine::Sqlite), engineName);
} // namespace

TEST_P(LazyGridTest, ALongListIsReadInPagesAndLeavesNoReadOpenForABooking) {
    const int total = 5000;
    ASSERT_TRUE(db.inTransaction([&]() -> Status {
                      for (int i = 0; i < total; ++i)
                          if (auto r =
                                  db.exec(QStringLiteral("insert into 存放位置(名称) values(?)"),
                                          {QStringLiteral("架%1").arg(i)});
                              !r)
                              return Error{r.error()};
                      return {};
                  }).ok());
    // without a footer the rows are counted when the view needs them
    DataGrid plain;
    ASSERT_TRUE(plain.setQuery({QStringLiteral("select * from 存放位置"), {}}).ok());
    EXPECT_EQ(plain.loadedRowCount(), GridModel::PageSize);
    ASSERT_TRUE(plain.model()->canFetchMore());
    plain.model()->fetchMore();
    EXPECT_EQ(plain.loadedRowCount(), total + 1);

    // (no QAbstractItemModelTester here: it calls fetchMore inside its own
    // row-insertion checks, which nests insertions; the other grid tests run it)
    DataGrid grid;
    grid.setFooter(QStringLiteral("名称"));
    ASSERT_TRUE(grid.setQuery({QStringLiteral("select * from 存放位置"), {}}).ok());
    grid.resize(400, 300);
    grid.show();
    // the footer follows the first screen, counted by a worker
    auto* footer = grid.findChild<QLabel*>(QStringLiteral("footer:名称"));
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->text(), QString());
    EXPECT_TRUE(QTest::qWaitFor([&] { return footer->text() == QStringLiteral("共5001条"); }));
    EXPECT_EQ(grid.loadedRowCount(), total + 1);
    EXPECT_FALSE(grid.model()->canFetchMore());
    grid.view()->scrollToBottom();
    QCoreApplication::processEvents();
    GridModel* model = grid.model();
    EXPECT_EQ(model->index(total, model->columnIndex(QStringLiteral("名称"))).data().toString(),
              QStringLiteral("架4999"));
    EXPECT_LE(model->keptRowCount(), GridModel::PageSize * GridModel::KeptPages);

    // another workstation writes; a booking here must not find an old read
    // still open on its connection ("database is locked")
    ASSERT_TRUE(database->openConnection(QStringLiteral("other")).ok());
    ASSERT_TRUE(
        Db(QStringLiteral("other"))
            .exec(QStringLiteral("insert into 介质(名称) values(?)"), {QStringLiteral("磁带")})
            .ok());
    Status booked = db.inTransaction([&]() -> Status {
        auto done =
            db.exec(QStringLiteral("insert into 介质(名称) values(?)"), {QStringLiteral("光盘")});
        return done ? Status{} : Status{Error{done.error()}};
    });
    EXPECT_TRUE(booked.ok()) << booked.error().toStdString();
    grid.view()->scrollToTop();
    EXPECT_EQ(grid.text(QStringLiteral("名称")), QStringLiteral("店内"));
}

// ------------------------------------------------------------ keyed pages

TEST_P(DataGridTest, PagesReadByKeyFromTheirNeighboursMatchTheWholeOrderBothWays) {
    // 1 000 more members: balances repeat and every seventh is empty, so
    // ties and empty values cross page edges
    ASSERT_TRUE(
        db.inTransaction([&]() -> Status {
              for (int i = 0; i < 1000; ++i) {
                  const QVariant balance =
                      i % 7 == 3 ? QVariant() : QVariant::fromValue(Money::fromInt(i % 13));
                  if (auto r = db.exec(
                          QStringLiteral("insert into 会员库(会员卡号,卡内金额,会员姓名) "
                                         "values(?,?,?)"),
                          {QStringLiteral("K%1").arg((i * 389) % 1000, 4, 10, QLatin1Char('0')),
                           balance, i % 5 ? QVariant(QStringLiteral("某")) : QVariant()});
                      !r)
                      return Error{r.error()};
              }
              return {};
          }).ok());
    // a header sort, or the statement's own order column ("own"); the
    // reader's own tests cover the other orders
    const struct {
        const char* column;
        Qt::SortOrder order;
        const char* own = "";
    } sorts[] = {{"", Qt::AscendingOrder},
                 {"卡内金额", Qt::DescendingOrder},
                 {"会员姓名", Qt::DescendingOrder, "卡内金额"}};
    for (const auto& sort : sorts) {
        SCOPED_TRACE(std::string(sort.column) +
                     (sort.order == Qt::AscendingOrder ? " asc" : " desc") + " own " + sort.own);
        const ListQuery members{QStringLiteral("select * from 会员库"),
                                {},
                                Connection::Shared,
                                QStringLiteral("会员卡号"),
                                QString::fromUtf8(sort.own)};
        auto cards = [&](bool backwards) {
            DataGrid grid;
            setUpMemberGrid(grid);
            EXPECT_TRUE(grid.setQuery(members).ok());
            if (*sort.column)
                grid.model()->sort(column(grid, sort.column), sort.order);
            (void)grid.footerCount(); // the row count
            const int rows = grid.model()->rowCount();
            QStringList read(rows);
            for (int i = 0; i < rows; ++i) {
                const int row = backwards ? rows - 1 - i : i;
                read[row] = grid.model()->record(row).value(QStringLiteral("会员卡号")).toString();
            }
            return std::pair{read, grid.currentQuery()};
        };
        const auto [forwards, shown] = cards(false);
        const auto [backwards, unused] = cards(true);
        QStringList whole;
        auto rows = db.select(shown.sql, shown.params);
        ASSERT_TRUE(rows.ok());
        while (rows.value().next())
            whole << rows.value().text(QStringLiteral("会员卡号"));
        ASSERT_EQ(whole.size(), 1005);
        EXPECT_EQ(forwards, whole);
        EXPECT_EQ(backwards, whole);
        if (!*sort.column && !*sort.own) {
            EXPECT_EQ(whole.first(), QStringLiteral("A001"));
        }
        if (!*sort.column && *sort.own) {
            EXPECT_TRUE(shown.sql.contains(QStringLiteral("order by \"卡内金额\" asc")));
        }
        // a row found by its key is counted to, not walked to: the pages
        // between are never read
        DataGrid grid;
        setUpMemberGrid(grid);
        ASSERT_TRUE(grid.setQuery(members).ok());
        if (*sort.column)
            grid.model()->sort(column(grid, sort.column), sort.order);
        for (const int row : {1004, 0, 700, 399, 400}) {
            EXPECT_TRUE(grid.locate(QStringLiteral("会员卡号"), whole[row]));
            EXPECT_EQ(grid.currentRow(), row);
        }
        EXPECT_LT(grid.model()->keptRowCount(), 1005);
        EXPECT_FALSE(grid.locate(QStringLiteral("会员卡号"), QStringLiteral("Z999")));
    }
}
