#include "members/THyEditFm.h"
#include "MemberWindowFixture.h"
#include "members/THyMoneyModifyFm.h"
#include "support/ModalStandIns.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

class THyEditFmTest : public MemberWindowTest {
protected:
    void SetUp() override {
        MemberWindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        addType(QStringLiteral("金卡"), "50");
        addMember(QStringLiteral("1201"), QStringLiteral("张三"), "100");
        addMember(QStringLiteral("1202"), QStringLiteral("李四"), "5");
    }
    Member read(const QString& card) {
        auto m = MemberLookup::member(db, card);
        EXPECT_TRUE(m.ok() && m.value().has_value());
        return m.ok() && m.value() ? *m.value() : Member{};
    }
    void retype(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        typeText(edit, text);
    }
};
SHOP_ON_SQLITE(THyEditFmTest);

TEST_P(THyEditFmTest, SaveWritesTheFieldsAndClosesRefusalStaysOpen) {
    THyEditFm fm(login, read(QStringLiteral("1201")));
    EXPECT_EQ(fm.windowTitle(), QStringLiteral("会员编辑"));
    EXPECT_EQ(fm.nameEdit()->text(), QStringLiteral("张三"));
    EXPECT_EQ(fm.balanceEdit()->text(), QStringLiteral("100"));
    EXPECT_FALSE(fm.balanceEdit()->isEnabled());
    EXPECT_FALSE(fm.pointsEdit()->isEnabled());
    EXPECT_EQ(fm.typeBox()->findText(QStringLiteral("散客")), -1);
    EXPECT_NE(fm.statusBox()->findText(QStringLiteral("停用")), -1);

    // a card number in use: "保存失败!", the window stays with the changes
    retype(fm.cardEdit(), QStringLiteral("1202"));
    retype(fm.nameEdit(), QStringLiteral("张三丰"));
    fm.saveButton()->click();
    ASSERT_EQ(prompts->texts().size(), 1);
    // the system's words, then the database's reason (the card number's key)
    EXPECT_TRUE(prompts->lastText().startsWith(QStringLiteral("保存失败!\n")))
        << prompts->lastText().toStdString();
    EXPECT_TRUE(prompts->lastText().contains(QStringLiteral("会员卡号")) ||
                prompts->lastText().contains(QStringLiteral("UNIQUE")))
        << prompts->lastText().toStdString();
    EXPECT_NE(fm.result(), QDialog::Accepted);
    EXPECT_EQ(fm.nameEdit()->text(), QStringLiteral("张三丰"));
    EXPECT_EQ(read(QStringLiteral("1201")).name, QStringLiteral("张三"));

    prompts->clear();
    retype(fm.cardEdit(), QStringLiteral("1201"));
    fm.statusBox()->setCurrentIndex(fm.statusBox()->findText(QStringLiteral("停用")));
    fm.expiryEdit()->setDate(QDate(2030, 1, 1));
    fm.saveButton()->click();
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("保存成功!")});
    EXPECT_EQ(fm.result(), QDialog::Accepted);
    const Member saved = read(QStringLiteral("1201"));
    EXPECT_EQ(saved.name, QStringLiteral("张三丰"));
    EXPECT_EQ(saved.status, QStringLiteral("停用"));
    EXPECT_EQ(saved.expiry, QDateTime(QDate(2030, 1, 1), QTime(0, 0)));
    EXPECT_EQ(saved.balance, Money::fromInt(100));
}

TEST_P(THyEditFmTest, CorrectionNeedsItsPermission) {
    login.permissions.set(Permission::MemberBalanceEdit, false);
    THyEditFm fm(login, read(QStringLiteral("1201")));
    bool opened = false;
    WindowRunner scope([&](QDialog* d) {
        opened = true;
        d->reject();
    });
    fm.correctionButton()->click();
    EXPECT_FALSE(opened);
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("没有权限!")});
}

TEST_P(THyEditFmTest, CorrectionSavesThePendingEditWithTheMoneyAndLogsTheCard) {
    THyEditFm fm(login, read(QStringLiteral("1201")));
    retype(fm.nameEdit(), QStringLiteral("张三丰"));
    retype(fm.cardEdit(), QStringLiteral("1301"));
    QString title;
    WindowRunner scope([&](QDialog* d) {
        auto* money = dynamic_cast<THyMoneyModifyFm*>(d);
        ASSERT_NE(money, nullptr);
        title = money->windowTitle();
        EXPECT_EQ(money->balanceEdit()->text(), QStringLiteral("100"));
        money->balanceEdit()->clear();
        money->okButton()->click();
        EXPECT_EQ(prompts->lastText(), QStringLiteral("填写数量!"));
        EXPECT_TRUE(d->isVisible());
        typeText(money->balanceEdit(), QStringLiteral("-12.5"));
        money->pointsEdit()->setText(QStringLiteral("40"));
        money->okButton()->click();
    });
    fm.correctionButton()->click();
    EXPECT_EQ(title, QStringLiteral("会员-金额,积分"));
    const Member saved = read(QStringLiteral("1301"));
    EXPECT_EQ(saved.name, QStringLiteral("张三丰"));
    EXPECT_EQ(saved.balance, *Money::parse(QStringLiteral("-12.5")));
    EXPECT_EQ(saved.points, Money::fromInt(40));
    EXPECT_EQ(count(QStringLiteral("管理员日志"),
                    QStringLiteral("事件 = ? and 管理员 = ? and 说明 = ? and 日期 = ?"),
                    {QStringLiteral("修改会员卡内金额和积分"), QStringLiteral("店长"),
                     QStringLiteral("条形码:1301"), QStringLiteral("2026-05-20 10:30:00")}),
              1);
    // the edit window edits the row again, showing the new figures
    EXPECT_EQ(fm.balanceEdit()->text(), QStringLiteral("-12.5"));
    EXPECT_EQ(fm.pointsEdit()->text(), QStringLiteral("40"));
    EXPECT_EQ(fm.cardEdit()->text(), QStringLiteral("1301"));
    retype(fm.addressEdit(), QStringLiteral("上海"));
    fm.saveButton()->click();
    EXPECT_EQ(read(QStringLiteral("1301")).address, QStringLiteral("上海"));
    EXPECT_EQ(read(QStringLiteral("1301")).balance, *Money::parse(QStringLiteral("-12.5")));
}

TEST_P(THyEditFmTest, CancellingTheCorrectionDropsTheEditsMadeBeforeIt) {
    THyEditFm fm(login, read(QStringLiteral("1201")));
    retype(fm.nameEdit(), QStringLiteral("王五"));
    WindowRunner scope([&](QDialog* d) {
        auto* money = static_cast<THyMoneyModifyFm*>(d);
        money->balanceEdit()->setText(QStringLiteral("999"));
        money->cancelButton()->click();
    });
    fm.correctionButton()->click();
    EXPECT_EQ(fm.nameEdit()->text(), QStringLiteral("张三"));
    EXPECT_EQ(fm.balanceEdit()->text(), QStringLiteral("100"));
    const Member unchanged = read(QStringLiteral("1201"));
    EXPECT_EQ(unchanged.name, QStringLiteral("张三"));
    EXPECT_EQ(unchanged.balance, Money::fromInt(100));
    EXPECT_EQ(count(QStringLiteral("管理员日志")), 0);

    // "取消" of the edit window drops its changes too
    retype(fm.nameEdit(), QStringLiteral("赵六"));
    fm.cancelButton()->click();
    EXPECT_EQ(fm.result(), QDialog::Rejected);
    EXPECT_EQ(read(QStringLiteral("1201")).name, QStringLiteral("张三"));
}
