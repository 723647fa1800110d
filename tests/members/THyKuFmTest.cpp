#include "members/THyKuFm.h"
#include "MemberWindowFixture.h"
#include "members/THyAddFm.h"
#include "members/THyEditFm.h"
#include "output/TDmFm.h"
#include "output/core/XlsxReader.h"
#include "support/ModalStandIns.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

class THyKuFmTest : public MemberWindowTest {
protected:
    void SetUp() override {
        MemberWindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        addType(QStringLiteral("金卡"), "50");
        addMember(QStringLiteral("1201"), QStringLiteral("张三"), "100");
        addMember(QStringLiteral("8120"), QStringLiteral("李四"), "12.5");
        addMember(QStringLiteral("3003"), QStringLiteral("王五"), "-2");
    }
    QStringList shownCards(THyKuFm& fm) {
        QStringList cards;
        DataGrid* grid = fm.grid();
        while (grid->model()->canFetchMore())
            grid->model()->fetchMore();
        const int column = grid->model()->columnIndex(QStringLiteral("会员卡号"));
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            cards << grid->model()->index(row, column).data().toString();
        cards.sort();
        return cards;
    }
    void find(THyKuFm& fm, const QString& field, const QString& text) {
        fm.fieldChooser()->setEditText(field);
        fm.searchBox()->setText(text);
        fm.searchButton()->click();
    }
};
SHOP_ON_SQLITE(THyKuFmTest);

TEST_P(THyKuFmTest, OpensWithAllMembersColumnsInOrderAndTheFooter) {
    THyKuFm fm(login);
    EXPECT_EQ(fm.windowTitle(), QStringLiteral("会员资料"));
    EXPECT_EQ(fm.fieldChooser()->currentText(), QStringLiteral("会员姓名"));
    QStringList items;
    for (int i = 0; i < fm.fieldChooser()->count(); ++i)
        items << fm.fieldChooser()->itemText(i);
    EXPECT_EQ(items, (QStringList{QStringLiteral("会员卡号"), QStringLiteral("会员姓名"),
                                  QStringLiteral("联系方式"), QStringLiteral("住址")}));
    EXPECT_TRUE(fm.searchBox()->text().isEmpty());
    QStringList tools;
    for (const char* caption :
         {"添加", "修改", "删除", "显示全部", "EXCEL", "打印", "打印条码", "退出"})
        EXPECT_NE(fm.tool(QString::fromUtf8(caption)), nullptr) << caption;

    // visible columns in their order, the rest hidden
    QHeaderView* header = fm.grid()->view()->horizontalHeader();
    QStringList visible, hidden;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        const QString column = fm.grid()->model()->columnName(logical);
        (header->isSectionHidden(logical) ? hidden : visible) << column;
    }
    EXPECT_EQ(visible.join(u','),
              QStringLiteral("会员卡号,会员姓名,会员类型,会员性别,卡内金额,会员积分,登记日期,"
                             "证件号码,联系方式,住址,状态"));
    hidden.sort();
    QStringList expectedHidden{"单位部门", "密码", "备注", "登记人", "有效期", "相片", "出生日期"};
    expectedHidden.sort();
    EXPECT_EQ(hidden, expectedHidden);
    const int sex = fm.grid()->model()->columnIndex(QStringLiteral("会员性别"));
    EXPECT_EQ(fm.grid()->model()->headerData(sex, Qt::Horizontal).toString(),
              QStringLiteral("性别"));

    EXPECT_EQ(fm.grid()->footerCount(), 3);
    EXPECT_EQ(fm.grid()->footerSum(QStringLiteral("卡内金额")), *Money::parse(u"110.5"));
}

TEST_P(THyKuFmTest, SearchByCardFragmentAndRefuseAColumnThatIsNotOne) {
    THyKuFm fm(login);
    find(fm, QStringLiteral("会员卡号"), QStringLiteral(" 12 "));
    EXPECT_EQ(shownCards(fm), (QStringList{QStringLiteral("1201"), QStringLiteral("8120")}));
    EXPECT_EQ(fm.grid()->footerCount(), 2);
    EXPECT_EQ(fm.grid()->footerSum(QStringLiteral("卡内金额")), *Money::parse(u"112.5"));

    // a typed name that is not a column: refused, the list stays
    find(fm, QStringLiteral("会员卡号 or 1=1"), QStringLiteral("x"));
    EXPECT_FALSE(prompts->shown().isEmpty());
    EXPECT_EQ(shownCards(fm), (QStringList{QStringLiteral("1201"), QStringLiteral("8120")}));

    // an empty text lists the rows where the column has a value
    execOk(QStringLiteral("update 会员库 set 住址 = ? where 会员卡号 = ?"),
           {QStringLiteral("北京"), QStringLiteral("3003")});
    find(fm, QStringLiteral("住址"), QString());
    EXPECT_EQ(shownCards(fm), QStringList{QStringLiteral("3003")});

    fm.tool(QStringLiteral("显示全部"))->trigger();
    EXPECT_EQ(shownCards(fm).size(), 3);
}

TEST_P(THyKuFmTest, TheListLeavesThePhotosOut) {
    execOk(QStringLiteral("update 会员库 set 相片 = ?"), {QVariant(QByteArray(100000, 'x'))});
    THyKuFm fm(login);
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1)
            find(fm, QStringLiteral("会员卡号"), QStringLiteral("12"));
        const ListQuery shown = fm.currentQuery();
        auto rows = db.select(shown.sql, shown.params);
        ASSERT_TRUE(rows.ok()) << rows.error().toStdString();
        ASSERT_NE(rows.value().record().indexOf(QStringLiteral("相片")), -1);
        int n = 0;
        for (; rows.value().next(); ++n)
            EXPECT_TRUE(rows.value().isNull(QStringLiteral("相片")));
        EXPECT_EQ(n, pass == 0 ? 3 : 2);
    }
}

TEST_P(THyKuFmTest, DeleteAsksWithTheNameAndNeedsItsPermission) {
    login.permissions.set(Permission::MemberDelete, false);
    {
        THyKuFm fm(login);
        fm.tool(QStringLiteral("删除"))->trigger();
        EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("没有权限!")});
        EXPECT_EQ(count(QStringLiteral("会员库")), 3);
    }
    prompts->clear();
    login.permissions.set(Permission::MemberDelete, true);
    THyKuFm fm(login);
    ASSERT_TRUE(fm.grid()->locate(QStringLiteral("会员卡号"), QStringLiteral("8120")));
    fm.tool(QStringLiteral("删除"))->trigger(); // No
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("您是否要删除\" 李四\"")});
    EXPECT_EQ(count(QStringLiteral("会员库")), 3);

    prompts->clear();
    prompts->setNextAnswer(true);
    fm.tool(QStringLiteral("删除"))->trigger();
    ASSERT_EQ(prompts->shown().size(), 2);
    EXPECT_EQ(prompts->shown()[1].text, QStringLiteral("删除成功"));
    EXPECT_EQ(prompts->shown()[1].caption, QStringLiteral("提示"));
    EXPECT_EQ(shownCards(fm), (QStringList{QStringLiteral("1201"), QStringLiteral("3003")}));

    // the database refuses: "系统出错", the row stays
    execOk(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON 会员库 "
                          "BEGIN SELECT RAISE(ABORT, 'kept'); END"));
    prompts->clear();
    prompts->setNextAnswer(true);
    fm.tool(QStringLiteral("删除"))->trigger();
    EXPECT_EQ(prompts->lastText(), QStringLiteral("系统出错"));
    EXPECT_EQ(count(QStringLiteral("会员库")), 2);
}

TEST_P(THyKuFmTest, ModifyNeedsPermissionAndARowThenShowsTheSavedRow) {
    login.permissions.set(Permission::MemberEdit, false);
    bool opened = false;
    {
        WindowRunner scope([&](QDialog* d) {
            opened = true;
            d->reject();
        });
        THyKuFm fm(login);
        fm.tool(QStringLiteral("修改"))->trigger();
        EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("没有权限!")});
        login.permissions.set(Permission::MemberEdit, true);
        // an empty list: refused rather than starting a blank member
        find(fm, QStringLiteral("会员卡号"), QStringLiteral("没有这张卡"));
        prompts->clear();
        fm.tool(QStringLiteral("修改"))->trigger();
        EXPECT_EQ(prompts->shown().size(), 1);
        EXPECT_EQ(count(QStringLiteral("会员库")), 3);
    }
    EXPECT_FALSE(opened);

    THyKuFm fm(login);
    ASSERT_TRUE(fm.grid()->locate(QStringLiteral("会员卡号"), QStringLiteral("1201")));
    WindowRunner scope([&](QDialog* d) {
        auto* edit = dynamic_cast<THyEditFm*>(d);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->nameEdit()->text(), QStringLiteral("张三"));
        edit->nameEdit()->setText(QStringLiteral("张三丰"));
        edit->cardEdit()->setText(QStringLiteral("1209"));
        edit->saveButton()->click();
    });
    fm.tool(QStringLiteral("修改"))->trigger();
    EXPECT_EQ(fm.grid()->text(QStringLiteral("会员卡号")), QStringLiteral("1209"));
    EXPECT_EQ(fm.grid()->text(QStringLiteral("会员姓名")), QStringLiteral("张三丰"));
}

TEST_P(THyKuFmTest, MembersAddedShowInTheListAtOnce) {
    THyKuFm fm(login);
    QStringList seen;
    WindowRunner scope([&](QDialog* d) {
        auto* add = dynamic_cast<THyAddFm*>(d);
        ASSERT_NE(add, nullptr);
        add->typeBox()->setCurrentIndex(0);
        add->cardEdit()->setText(QStringLiteral("5005"));
        add->nameEdit()->setText(QStringLiteral("赵六"));
        add->saveButton()->click();
        seen = shownCards(fm);
        add->closeButton()->click();
    });
    fm.tool(QStringLiteral("添加"))->trigger();
    EXPECT_TRUE(seen.contains(QStringLiteral("5005"))) << seen.join(u',').toStdString();
    EXPECT_EQ(fm.grid()->text(QStringLiteral("会员卡号")), QStringLiteral("5005"));
    EXPECT_EQ(fm.grid()->footerCount(), 4);
}

TEST_P(THyKuFmTest, ExportAndPrintingReadTheRowsOnScreen) {
    QTemporaryDir dir;
    TDmFm& dm = TDmFm::current();
    QStringList opened, previews;
    int pages = -1;
    dm.exportFolder = dir.path();
    dm.openFile = [&](const QString& path) {
        opened << path;
        return true;
    };
    WindowRunner runner([&](QDialog* dialog) {
        auto* preview = dialog->findChild<QPrintPreviewWidget*>();
        pages = preview ? preview->pageCount() : -1;
        previews << dialog->windowTitle();
        dialog->close();
    });
    THyKuFm fm(login);
    find(fm, QStringLiteral("会员卡号"), QStringLiteral("12"));
    fm.tool(QStringLiteral("EXCEL"))->trigger();
    fm.tool(QStringLiteral("打印"))->trigger();
    EXPECT_EQ(pages, 1);
    fm.tool(QStringLiteral("打印条码"))->trigger();
    dm.reset();
    EXPECT_TRUE(prompts->texts().isEmpty()) << prompts->texts().join(u'\n').toStdString();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(QFileInfo(opened[0]).fileName().startsWith(QStringLiteral("会员资料")));
    auto book = XlsxReader::open(opened[0]);
    ASSERT_TRUE(book.ok()) << book.error().toStdString();
    const auto rows = book->rows(0);
    ASSERT_TRUE(rows.ok() && rows->size() == 3) << rows.error().toStdString();
    const qsizetype card = rows->at(0).indexOf(QStringLiteral("会员卡号"));
    const qsizetype balance = rows->at(0).indexOf(QStringLiteral("卡内金额"));
    QStringList exported;
    for (int r = 1; r < 3; ++r) {
        exported << rows->at(r).value(card).toString();
        if (exported.last() == u"8120") { // money as a number
            EXPECT_EQ(rows->at(r).value(balance).typeId(), QMetaType::Double);
            EXPECT_EQ(rows->at(r).value(balance).toDouble(), 12.5);
        }
    }
    exported.sort();
    EXPECT_EQ(exported, (QStringList{QStringLiteral("1201"), QStringLiteral("8120")}));
    EXPECT_EQ(previews, (QStringList{QStringLiteral("会员列表 - 打印预览"),
                                     QStringLiteral("会员卡条码 - 打印预览")}));
    EXPECT_TRUE(prompts->shown().isEmpty());
}
