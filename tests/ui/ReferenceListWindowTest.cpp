#include "ui/ReferenceListWindow.h"
#include "support/ModalStandIns.h"
#include "support/TestDatabase.h"
#include "ui/NumberEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A member-type list as its window will be: the walk-in type keeps its
// name and cannot be deleted; empty numbers get their defaults on save.
class TypeList : public ReferenceListWindow {
public:
    TypeList() : ReferenceListWindow(QStringLiteral("会员类型")) {
        name = addTextField(QStringLiteral("名称"), QStringLiteral("名称"));
        fee = addMoneyField(QStringLiteral("开户费"), QStringLiteral("开户费"));
        quota = addIntegerField(QStringLiteral("可借数量"), QStringLiteral("可借数量"));
        discount = addMoneyField(QStringLiteral("折扣"), QStringLiteral("折扣"));
        expiry = addYesNoField(QStringLiteral("有效期限制"), QStringLiteral("有效期限制"));
        fromCard = addYesNoField(QStringLiteral("归还时租金卡内扣除"),
                                 QStringLiteral("归还时租金卡内扣除"));
        noDeposit = addYesNoField(QStringLiteral("免押金"), QStringLiteral("免押金"));
        setRequired(QStringLiteral("名称"));
        setDefaultOnSave(QStringLiteral("可借数量"), 999);
        setDefaultOnSave(QStringLiteral("折扣"), QVariant::fromValue(Money::fromInt(1)));
        setDefaultOnSave(QStringLiteral("开户费"), QVariant::fromValue(Money()));
        load();
    }
    QLineEdit* name;
    NumberEdit* fee;
    NumberEdit* quota;
    NumberEdit* discount;
    QCheckBox* expiry;
    QCheckBox* fromCard;
    QCheckBox* noDeposit;

protected:
    void prepareNewRow(Row& row) override {
        row[QStringLiteral("免租金")] = false;
        row[QStringLiteral("归还时租金卡内扣除")] = true;
    }
    QStringList lockedColumns(const Row& current) const override {
        if (current.value(QStringLiteral("名称")).toString() == QStringLiteral("散客"))
            return {QStringLiteral("名称")};
        return {};
    }
    QString refuseDelete(const Row& current) const override {
        if (current.value(QStringLiteral("名称")).toString() == QStringLiteral("散客"))
            return QStringLiteral("散客类型不能删除!");
        return {};
    }
};

class ReferenceListWindowTest : public EngineTest {
protected:
    QVariant stored(const QString& column, const QString& name) {
        auto rows = db.select(
            QStringLiteral("select %1 from 会员类型 where 名称 = ?").arg(Db::quoted(column)),
            {name});
        EXPECT_TRUE(rows.ok());
        if (!rows || !rows.value().next())
            return {};
        return rows.value().value(column);
    }
    Money storedMoney(const QString& column, const QString& name) {
        return db.moneyFrom(stored(column, name));
    }
};
SHOP_ON_BOTH_ENGINES(ReferenceListWindowTest);

void expectBrowsing(TypeList& w) {
    EXPECT_FALSE(w.isEditing());
    EXPECT_TRUE(w.tool(ReferenceListWindow::Tool::Add)->isEnabled());
    EXPECT_TRUE(w.tool(ReferenceListWindow::Tool::Modify)->isEnabled());
    EXPECT_TRUE(w.tool(ReferenceListWindow::Tool::Delete)->isEnabled());
    EXPECT_FALSE(w.tool(ReferenceListWindow::Tool::Save)->isEnabled());
    EXPECT_FALSE(w.tool(ReferenceListWindow::Tool::Cancel)->isEnabled());
    EXPECT_FALSE(w.name->isEnabled());
    EXPECT_FALSE(w.expiry->isEnabled());
    EXPECT_TRUE(w.grid()->isEnabled());
}

} // namespace

TEST_P(ReferenceListWindowTest, AddWithOnlyANameStoresTheDefaults) {
    PromptRecorder prompts;
    TypeList w;
    expectBrowsing(w);
    EXPECT_EQ(w.name->text(), QStringLiteral("散客"));
    EXPECT_EQ(w.quota->text(), QStringLiteral("999"));

    w.tool(ReferenceListWindow::Tool::Add)->trigger();
    EXPECT_TRUE(w.isAdding());
    EXPECT_TRUE(w.name->isEnabled());
    EXPECT_FALSE(w.grid()->isEnabled());
    EXPECT_FALSE(w.tool(ReferenceListWindow::Tool::Add)->isEnabled());
    EXPECT_TRUE(w.tool(ReferenceListWindow::Tool::Save)->isEnabled());
    EXPECT_TRUE(w.name->text().isEmpty());
    EXPECT_TRUE(w.fromCard->isChecked());
    EXPECT_FALSE(w.expiry->isChecked());

    // an empty name is refused and the window stays editing
    w.tool(ReferenceListWindow::Tool::Save)->trigger();
    EXPECT_EQ(prompts.lastText(), QStringLiteral("请填写完整！"));
    EXPECT_TRUE(w.isEditing());
    EXPECT_EQ(count(QStringLiteral("会员类型")), 1);

    w.name->insert(QStringLiteral("金卡")); // as an input method commits it
    w.tool(ReferenceListWindow::Tool::Save)->trigger();
    expectBrowsing(w);
    EXPECT_EQ(count(QStringLiteral("会员类型")), 2);
    const QString gold = QStringLiteral("金卡");
    EXPECT_EQ(stored(QStringLiteral("可借数量"), gold).toLongLong(), 999);
    EXPECT_EQ(storedMoney(QStringLiteral("折扣"), gold), Money::fromInt(1));
    EXPECT_EQ(storedMoney(QStringLiteral("开户费"), gold), Money());
    EXPECT_FALSE(stored(QStringLiteral("有效期限制"), gold).toBool());
    EXPECT_FALSE(stored(QStringLiteral("免押金"), gold).toBool());
    EXPECT_FALSE(stored(QStringLiteral("免租金"), gold).toBool());
    EXPECT_TRUE(stored(QStringLiteral("归还时租金卡内扣除"), gold).toBool());
    // the saved row is the current one
    EXPECT_EQ(w.grid()->text(QStringLiteral("名称")), gold);
    EXPECT_EQ(w.name->text(), gold);
}

TEST_P(ReferenceListWindowTest, TextFieldsTakeNoMoreThanTheirColumnsHold) {
    TypeList w;
    EXPECT_EQ(w.name->maxLength(), 255);
}

TEST_P(ReferenceListWindowTest, CancelDropsTheWholePendingEdit) {
    PromptRecorder prompts;
    TypeList w;
    w.add();
    w.name->setText(QStringLiteral("不要"));
    w.tool(ReferenceListWindow::Tool::Cancel)->trigger();
    expectBrowsing(w);
    EXPECT_EQ(count(QStringLiteral("会员类型")), 1);
    EXPECT_EQ(w.name->text(), QStringLiteral("散客"));

    w.modify();
    w.quota->setText(QStringLiteral("3"));
    w.noDeposit->setChecked(true);
    w.cancel();
    EXPECT_EQ(w.quota->text(), QStringLiteral("999"));
    EXPECT_FALSE(w.noDeposit->isChecked());
    EXPECT_EQ(stored(QStringLiteral("可借数量"), QStringLiteral("散客")).toLongLong(), 999);
    EXPECT_FALSE(stored(QStringLiteral("免押金"), QStringLiteral("散客")).toBool());
    EXPECT_TRUE(prompts.shown().isEmpty());
}

TEST_P(ReferenceListWindowTest, ModifySavesTheRowAndKeepsALockedName) {
    PromptRecorder prompts;
    execOk(QStringLiteral("insert into 会员类型(名称,可借数量,折扣,开户费) values(?,?,?,?)"),
           {QStringLiteral("银卡"), 5, QVariant::fromValue(*Money::parse(u"0.9")),
            QVariant::fromValue(Money::fromInt(10))});
    TypeList w;
    ASSERT_TRUE(w.grid()->locate(QStringLiteral("名称"), QStringLiteral("散客")));
    w.tool(ReferenceListWindow::Tool::Modify)->trigger();
    EXPECT_FALSE(w.name->isEnabled()) << "the walk-in type keeps its name";
    EXPECT_TRUE(w.quota->isEnabled());
    w.quota->setText(QStringLiteral("4"));
    w.discount->setText(QStringLiteral("0.85"));
    ASSERT_TRUE(w.save());
    EXPECT_EQ(stored(QStringLiteral("可借数量"), QStringLiteral("散客")).toLongLong(), 4);
    EXPECT_EQ(storedMoney(QStringLiteral("折扣"), QStringLiteral("散客")), *Money::parse(u"0.85"));

    ASSERT_TRUE(w.grid()->locate(QStringLiteral("名称"), QStringLiteral("银卡")));
    EXPECT_EQ(w.discount->text(), QStringLiteral("0.9"));
    EXPECT_EQ(w.fee->text(), QStringLiteral("10"));
    w.modify();
    EXPECT_TRUE(w.name->isEnabled());
    w.name->setText(QStringLiteral("白银卡"));
    w.fee->setText(QStringLiteral("1.2.3"));
    EXPECT_FALSE(w.save());
    EXPECT_EQ(prompts.lastText(), QStringLiteral("开户费的数字格式不正确: \"1.2.3\""));
    EXPECT_TRUE(w.isEditing());
    w.fee->setText(QStringLiteral("12.5"));
    ASSERT_TRUE(w.save());
    EXPECT_EQ(
        count(QStringLiteral("会员类型"), QStringLiteral("名称 = ?"), {QStringLiteral("银卡")}), 0);
    EXPECT_EQ(storedMoney(QStringLiteral("开户费"), QStringLiteral("白银卡")),
              *Money::parse(u"12.5"));
    EXPECT_EQ(stored(QStringLiteral("可借数量"), QStringLiteral("白银卡")).toLongLong(), 5);
    EXPECT_EQ(w.grid()->text(QStringLiteral("名称")), QStringLiteral("白银卡"));
    EXPECT_EQ(count(QStringLiteral("会员类型")), 2);
}

TEST_P(ReferenceListWindowTest, DeleteAsksWithTheQuotedFirstColumnAndObeysTheRules) {
    PromptRecorder prompts;
    execOk(QStringLiteral("insert into 会员类型(名称) values(?)"), {QStringLiteral("临时")});
    TypeList w;
    ASSERT_TRUE(w.grid()->locate(QStringLiteral("名称"), QStringLiteral("散客")));
    EXPECT_FALSE(w.remove());
    EXPECT_EQ(prompts.lastText(), QStringLiteral("散客类型不能删除!"));
    EXPECT_EQ(prompts.shown().size(), 1) << "no question after a refusal";

    ASSERT_TRUE(w.grid()->locate(QStringLiteral("名称"), QStringLiteral("临时")));
    prompts.setNextAnswer(false);
    w.tool(ReferenceListWindow::Tool::Delete)->trigger();
    EXPECT_EQ(prompts.shown().last().kind, PromptRecorder::Kind::Question);
    EXPECT_EQ(prompts.lastText(), QStringLiteral("您是否要删除\" 临时\""));
    EXPECT_EQ(count(QStringLiteral("会员类型")), 2);

    prompts.setNextAnswer(true);
    EXPECT_TRUE(w.remove());
    EXPECT_EQ(
        count(QStringLiteral("会员类型"), QStringLiteral("名称 = ?"), {QStringLiteral("临时")}), 0);
    EXPECT_EQ(count(QStringLiteral("会员类型")), 1);
    EXPECT_EQ(w.grid()->loadedRowCount(), 1);
}

TEST_P(ReferenceListWindowTest, OfTwoRowsOfOneNameTheChosenOneChangesAndGoes) {
    PromptRecorder prompts;
    execOk(QStringLiteral("insert into 存放位置(名称) values(?)"), {QStringLiteral("店内")});
    ReferenceListWindow w(QStringLiteral("存放位置"));
    QLineEdit* name = w.addTextField(QStringLiteral("名称"), QStringLiteral("名称"));
    ASSERT_TRUE(w.load());
    ASSERT_EQ(w.grid()->loadedRowCount(), 2);
    const int idColumn = w.grid()->model()->columnIndex(QStringLiteral("id"));
    ASSERT_GE(idColumn, 0);
    EXPECT_TRUE(w.grid()->view()->isColumnHidden(idColumn));
    auto nameOf = [&](qint64 id) {
        auto rows = db.select(QStringLiteral("select 名称 from 存放位置 where id = ?"), {id});
        return rows.ok() && rows.value().next() ? rows.value().text(QStringLiteral("名称"))
                                                : QStringLiteral("(gone)");
    };
    ASSERT_TRUE(w.grid()->setCurrentRow(0));
    const qint64 first = w.grid()->integer(QStringLiteral("id"));
    ASSERT_TRUE(w.grid()->setCurrentRow(1));
    const qint64 second = w.grid()->integer(QStringLiteral("id"));
    ASSERT_NE(first, second);

    w.modify();
    name->setText(QStringLiteral("仓库"));
    ASSERT_TRUE(w.save());
    EXPECT_EQ(nameOf(first), QStringLiteral("店内"));
    EXPECT_EQ(nameOf(second), QStringLiteral("仓库"));
    EXPECT_EQ(w.grid()->integer(QStringLiteral("id")), second) << "the saved row stays current";

    execOk(QStringLiteral("update 存放位置 set 名称 = ?"), {QStringLiteral("同名")});
    ASSERT_TRUE(w.load());
    ASSERT_TRUE(w.grid()->setCurrentRow(1));
    prompts.setNextAnswer(true);
    ASSERT_TRUE(w.remove());
    EXPECT_EQ(nameOf(first), QStringLiteral("同名"));
    EXPECT_EQ(nameOf(second), QStringLiteral("(gone)"));

    // an added row becomes current by the key the table gave it
    w.add();
    name->setText(QStringLiteral("同名"));
    ASSERT_TRUE(w.save());
    EXPECT_GT(w.grid()->integer(QStringLiteral("id")), second);
}

TEST_P(ReferenceListWindowTest, ModifyAndDeleteOnAnEmptyListAreRefused) {
    PromptRecorder prompts;
    execOk(QStringLiteral("delete from 存放位置"));
    ReferenceListWindow w(QStringLiteral("存放位置"));
    QLineEdit* name = w.addTextField(QStringLiteral("名称"), QStringLiteral("名称"));
    ASSERT_TRUE(w.load());
    w.modify();
    EXPECT_FALSE(w.isEditing());
    EXPECT_EQ(prompts.lastText(), QStringLiteral("没有可修改的记录!"));
    EXPECT_FALSE(w.remove());
    EXPECT_EQ(prompts.lastText(), QStringLiteral("没有可删除的记录!"));
    EXPECT_EQ(count(QStringLiteral("存放位置")), 0);
    // adding into the empty list works
    w.add();
    name->setText(QStringLiteral("一号架"));
    ASSERT_TRUE(w.save());
    EXPECT_EQ(count(QStringLiteral("存放位置")), 1);
}

TEST_P(ReferenceListWindowTest, ASaveRefusedByTheDatabaseKeepsThePendingRow) {
    PromptRecorder prompts;
    TypeList w;
    w.add();
    w.name->setText(QStringLiteral("散客")); // 名称 is unique
    EXPECT_FALSE(w.save());
    EXPECT_EQ(prompts.shown().last().kind, PromptRecorder::Kind::Error);
    EXPECT_TRUE(w.isEditing());
    EXPECT_EQ(w.name->text(), QStringLiteral("散客"));
    w.name->setText(QStringLiteral("新类型"));
    EXPECT_TRUE(w.save());
    EXPECT_EQ(count(QStringLiteral("会员类型")), 2);
}
