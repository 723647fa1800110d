#include "rental/TReturnFm.h"
#include "CounterWindowFixture.h"
#include "store/IniFile.h"
#include "support/ModalStandIns.h"
#include "ui/NumberEdit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

class TReturnFmTest : public CounterWindowTest<TReturnFm> {
protected:
    void SetUp() override {
        CounterWindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (HasFatalFailure())
            return;
        login.adminName = QStringLiteral("小王");
        addMemberType(QStringLiteral("扣卡类型"), 5, false, false, true);
        addMemberType(QStringLiteral("现金类型"), 5, false, false, false);
        addMember(QStringLiteral("1001"), QStringLiteral("张三"), QStringLiteral("扣卡类型"), "2");
        addMember(QStringLiteral("1002"), QStringLiteral("李四"), QStringLiteral("现金类型"), "50");
        for (const char* b : {"B001", "B002", "B003", "B004", "W001", "W002"})
            addCopy(QString::fromLatin1(b), QStringLiteral("书") + QString::fromLatin1(b));
        // now is 2024-03-10 10:00
        addOpenRent(QStringLiteral("B001"), QStringLiteral("红楼梦"), QStringLiteral("1001"),
                    QStringLiteral("张三"), "1", "10", QDateTime(QDate(2024, 3, 8), QTime(9, 0)));
        addOpenRent(QStringLiteral("B002"), QStringLiteral("水浒传"), QStringLiteral("1001"),
                    QStringLiteral("张三"), "1.5", "10", QDateTime(QDate(2024, 3, 7), QTime(9, 0)));
        addOpenRent(QStringLiteral("B003"), QStringLiteral("西游记"), QStringLiteral("1002"),
                    QStringLiteral("李四"), "0.3", "0", QDateTime(QDate(2024, 3, 7), QTime(10, 0)));
        addOpenRent(QStringLiteral("W001"), QStringLiteral("围城"), QStringLiteral("散客"),
                    QStringLiteral("散客"), "1", "10", QDateTime(QDate(2024, 3, 9), QTime(22, 0)));
        writeIni(QStringLiteral("1"));
    }
    void writeIni(const QString& reminder) {
        login.config.iniPath = database->folder() + QStringLiteral("/de.ini");
        IniFile ini(login.config.iniPath);
        ASSERT_TRUE(
            ini.write(QStringLiteral("part2"), QStringLiteral("HyGuiHuanShiTiShi"), reminder));
    }
    void giveBack() { QTest::mouseClick(fm->returnButton(), Qt::LeftButton); }
};
SHOP_ON_BOTH_ENGINES(TReturnFmTest);

TEST_P(TReturnFmTest, OpensWithCashNormalRemarkAndWalkIn) {
    open();
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("归还"));
    EXPECT_EQ(fm->currentCard(), QStringLiteral("散客"));
    EXPECT_EQ(fm->nameBox()->text(), QStringLiteral("散客"));
    EXPECT_EQ(fm->typeBox()->text(), QStringLiteral("散客"));
    EXPECT_EQ(fm->balanceBox()->text(), QStringLiteral("0"));
    EXPECT_EQ(fm->rentTotal()->text(), QStringLiteral("0"));
    EXPECT_EQ(fm->depositBack()->text(), QStringLiteral("0"));
    EXPECT_EQ(fm->paymentBox()->currentText(), QStringLiteral("现金支付"));
    EXPECT_EQ(fm->paymentBox()->count(), 2);
    EXPECT_EQ(fm->paymentBox()->itemText(1), QStringLiteral("卡内扣除"));
    EXPECT_FALSE(fm->paymentBox()->isEditable());
    EXPECT_EQ(fm->remarkBox()->text(), QStringLiteral("正常"));
    EXPECT_TRUE(fm->promptAfterReturn());
}

TEST_P(TReturnFmTest, EntriesBoxesAndButtonsKeepTheirTabOrderAndCaptions) {
    open();
    EXPECT_EQ(inTabOrder<QLineEdit>(),
              (QList<QWidget*>{fm->cardEntry(), fm->barcodeEntry(), fm->nameBox(), fm->typeBox(),
                               fm->balanceBox(), fm->unreturnedBox(), fm->remarkBox()}));
    for (QLineEdit* box : {fm->nameBox(), fm->typeBox(), fm->balanceBox(), fm->unreturnedBox()})
        EXPECT_TRUE(box->isReadOnly());
    EXPECT_FALSE(fm->remarkBox()->isReadOnly());
    expectSharedControls(fm->returnButton());
    EXPECT_EQ(fm->returnButton()->text(), QStringLiteral("归还 "));
    ASSERT_EQ(fm->lines()->model()->columnCount(), TReturnFm::ColumnCount);
    EXPECT_EQ(fm->lines()->model()->headerData(TReturnFm::Rent, Qt::Horizontal).toString(),
              QStringLiteral("租金"));
    EXPECT_EQ(fm->lines()->columnWidth(TReturnFm::RentedAt), 150);
    // Enter in the remark box must not settle the lines
    scan(QStringLiteral("W001"));
    QTest::keyClick(fm->remarkBox(), Qt::Key_Return);
    EXPECT_EQ(lineCount(), 1);
    EXPECT_EQ(count(QStringLiteral("出租记录"), QStringLiteral("已还 = '是'")), 0);
}

TEST_P(TReturnFmTest, WalkInCashReturnBooksIncomeAndShowsNoPrompt) {
    open();
    scan(QStringLiteral(" W001 "));
    ASSERT_EQ(lineCount(), 1);
    EXPECT_EQ(cell(0, TReturnFm::RentedAt), QStringLiteral("2024-03-09 22:00:00"));
    EXPECT_EQ(cell(0, TReturnFm::Days), QStringLiteral("1")); // 0.5 days: 0, at least 1
    EXPECT_EQ(cell(0, TReturnFm::Rent), QStringLiteral("1"));
    EXPECT_EQ(fm->rentTotal()->text(), QStringLiteral("1"));
    EXPECT_EQ(fm->depositBack()->text(), QStringLiteral("9"));
    giveBack();
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("完成!")});
    EXPECT_EQ(count(QStringLiteral("收入记录"),
                    QStringLiteral("项目 = '租金' and 会员卡号 = '散客' and 管理员 = '小王' and "
                                   "说明 = '正常'")),
              1);
    EXPECT_EQ(text(QStringLiteral("select 状态 from 出租库 where 条形码 = 'W001'")),
              QStringLiteral("待租"));
    EXPECT_EQ(lineCount(), 0);
}

TEST_P(TReturnFmTest, OnlyTheCurrentCardsRentsAreFoundAndDuplicatesRefused) {
    open();
    scan(QStringLiteral("B001")); // rented to 1001, current card is 散客
    EXPECT_EQ(prompts.lastText(), QStringLiteral("没有找到,请检查输入的信息是否正确!"));
    EXPECT_EQ(fm->barcodeEntry()->selectedText(), QStringLiteral("B001"));
    lookUp(QStringLiteral("1001"));
    scan(QStringLiteral("B001"));
    ASSERT_EQ(lineCount(), 1);
    scan(QStringLiteral("B001"));
    EXPECT_EQ(prompts.lastText(), QStringLiteral("已经重复添加过了."));
    EXPECT_EQ(lineCount(), 1);
    lookUp(QStringLiteral("0000"));
    EXPECT_EQ(prompts.lastText(), QStringLiteral("没有找到这个卡号的会员资料,请检查卡号是否正确!"));
    // no earlier member stays in effect
    EXPECT_EQ(fm->currentCard(), QStringLiteral("散客"));
    EXPECT_EQ(fm->nameBox()->text(), QStringLiteral("散客"));
    EXPECT_EQ(fm->balanceBox()->text(), QStringLiteral("0"));
    EXPECT_EQ(fm->unreturnedBox()->text(), QStringLiteral("0"));
}

TEST_P(TReturnFmTest, CardDeductingMemberPaysFromTheCardBelowZeroAndGetsThePrompt) {
    open();
    lookUp(QStringLiteral("1001"));
    EXPECT_EQ(fm->currentCard(), QStringLiteral("1001"));
    EXPECT_EQ(fm->nameBox()->text(), QStringLiteral("张三"));
    EXPECT_EQ(fm->balanceBox()->text(), QStringLiteral("2"));
    EXPECT_EQ(fm->unreturnedBox()->text(), QStringLiteral("2"));
    EXPECT_EQ(fm->paymentBox()->currentText(), QStringLiteral("卡内扣除"));
    EXPECT_EQ(fm->focusWidget(), fm->barcodeEntry());
    scan(QStringLiteral("B001")); // 2 days and an hour: 2 x 1
    scan(QStringLiteral("B002")); // 3 days and an hour: 3 x 1.5
    EXPECT_EQ(cell(0, TReturnFm::Days), QStringLiteral("2"));
    EXPECT_EQ(cell(1, TReturnFm::Rent), QStringLiteral("4.5"));
    EXPECT_EQ(fm->rentTotal()->text(), QStringLiteral("6.5"));
    EXPECT_EQ(fm->depositBack()->text(), QStringLiteral("13.5"));
    giveBack();
    EXPECT_EQ(prompts.texts(), (QStringList{QStringLiteral("完成!"),
                                            QStringLiteral("未还数量是: 0 ,卡内金额: -4.5 元 !")}));
    EXPECT_EQ(amount(QStringLiteral("select 卡内金额 from 会员库 where 会员卡号 = '1001'")),
              m("-4.5"));
    EXPECT_EQ(count(QStringLiteral("收入记录")), 0);
    EXPECT_EQ(
        count(QStringLiteral("出租记录"),
              QStringLiteral("会员卡号 = '1001' and 已还 = '是' and 支付方式 = '卡内扣除' and "
                             "归还经手人 = '小王' and 归还说明 = '正常'")),
        2);
    // the payment and the remark survive the booking
    EXPECT_EQ(fm->paymentBox()->currentText(), QStringLiteral("卡内扣除"));
    EXPECT_EQ(fm->remarkBox()->text(), QStringLiteral("正常"));
    EXPECT_EQ(fm->currentCard(), QStringLiteral("散客"));
    // a walk-in return "from the card" is refused: nothing is written and
    // the line stays for a cash return
    prompts.clear();
    scan(QStringLiteral("W001"));
    giveBack();
    EXPECT_EQ(prompts.texts(),
              QStringList{QStringLiteral("归还失败: 散客不能卡内扣除, 请选择现金支付.")});
    EXPECT_EQ(count(QStringLiteral("收入记录")), 0);
    EXPECT_EQ(count(QStringLiteral("出租记录"), QStringLiteral("已还 = '否'")), 2);
    EXPECT_EQ(lineCount(), 1);
}

TEST_P(TReturnFmTest, PromptAfterReturnOnlyWhenTheSettingIsOne) {
    writeIni(QStringLiteral("0"));
    open();
    lookUp(QStringLiteral("1002"));
    EXPECT_EQ(fm->paymentBox()->currentText(), QStringLiteral("现金支付"));
    scan(QStringLiteral("B003"));
    giveBack();
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("完成!")});
}

TEST_P(TReturnFmTest, CashPaysEveryLineWithItsOwnCardAndTheTypedRemark) {
    login.permissions.set(Permission::ReturnRentEdit, true);
    open();
    scan(QStringLiteral("W001"));   // added as walk-in
    lookUp(QStringLiteral("1002")); // the list keeps it
    ASSERT_EQ(lineCount(), 1);
    scan(QStringLiteral("B003")); // 3 days x 0.3, deposit 0
    EXPECT_EQ(cell(1, TReturnFm::Rent), QStringLiteral("0.9"));
    EXPECT_EQ(cell(1, TReturnFm::Deposit), QStringLiteral("0"));
    // rent changed by hand on the first line
    WindowRunner edit([&](QDialog* d) {
        auto* editFm = dynamic_cast<TReturnZuJinXiuGaiFm*>(d);
        ASSERT_NE(editFm, nullptr);
        EXPECT_EQ(editFm->windowTitle(), QStringLiteral("请输入租金"));
        EXPECT_EQ(editFm->edit()->text(), QStringLiteral("1"));
        editFm->edit()->setText(QStringLiteral("0.5"));
        QTest::mouseClick(editFm->okButton(), Qt::LeftButton);
    });
    doubleClickLine(0);
    EXPECT_EQ(cell(0, TReturnFm::Rent), QStringLiteral("0.5"));
    EXPECT_EQ(cell(0, TReturnFm::Days), QStringLiteral("1"));
    EXPECT_EQ(fm->rentTotal()->text(), QStringLiteral("1.4"));
    EXPECT_EQ(fm->depositBack()->text(), QStringLiteral("8.6"));
    fm->remarkBox()->setText(QStringLiteral(" 有划痕 "));
    giveBack();
    auto income = db.select(QStringLiteral("select * from 收入记录 order by id"));
    ASSERT_TRUE(income.ok());
    Rows& r = income.value();
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.text(QStringLiteral("会员卡号")), QStringLiteral("散客"));
    EXPECT_EQ(r.money(QStringLiteral("金额")), m("0.5"));
    EXPECT_EQ(r.text(QStringLiteral("说明")), QStringLiteral(" 有划痕 "));
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.text(QStringLiteral("会员卡号")), QStringLiteral("1002"));
    EXPECT_EQ(r.text(QStringLiteral("会员姓名")), QStringLiteral("李四"));
    EXPECT_EQ(r.money(QStringLiteral("金额")), m("0.9"));
    EXPECT_FALSE(r.next());
    EXPECT_EQ(text(QStringLiteral("select 归还说明 from 出租记录 where 条形码 = 'W001'")),
              QStringLiteral("有划痕"));
    EXPECT_EQ(amount(QStringLiteral("select 卡内金额 from 会员库 where 会员卡号 = '1002'")),
              m("50"));
    EXPECT_EQ(prompts.texts(), (QStringList{QStringLiteral("完成!"),
                                            QStringLiteral("未还数量是: 0 ,卡内金额: 50 元 !")}));
    EXPECT_EQ(fm->remarkBox()->text(), QStringLiteral(" 有划痕 "));
}

TEST_P(TReturnFmTest, RentEditNeedsThePermission) {
    open();
    scan(QStringLiteral("W001"));
    doubleClickLine(0);
    EXPECT_EQ(prompts.lastText(), QStringLiteral("没有修改权限!"));
    EXPECT_EQ(cell(0, TReturnFm::Rent), QStringLiteral("1"));
}

TEST_P(TReturnFmTest, ReturnSettledElsewhereIsRefusedAndTheLinesStay) {
    open();
    lookUp(QStringLiteral("1001"));
    scan(QStringLiteral("B001"));
    scan(QStringLiteral("B002"));
    execOk(QStringLiteral("update 出租记录 set 已还 = '是' where 条形码 = 'B002'"));
    giveBack();
    ASSERT_FALSE(prompts.shown().isEmpty());
    EXPECT_EQ(prompts.shown().last().kind, PromptRecorder::Kind::Error);
    EXPECT_TRUE(prompts.lastText().contains(QStringLiteral("B002")));
    EXPECT_EQ(lineCount(), 2);
    EXPECT_EQ(count(QStringLiteral("出租记录"), QStringLiteral("条形码 = 'B001' and 已还 = '否'")),
              1);
    EXPECT_EQ(amount(QStringLiteral("select 卡内金额 from 会员库 where 会员卡号 = '1001'")),
              m("2"));
    // removing the settled line lets the rest go through
    fm->lines()->selectRow(1);
    prompts.setNextAnswer(true);
    QTest::mouseClick(fm->removeButton(), Qt::LeftButton);
    EXPECT_TRUE(prompts.texts().contains(QStringLiteral("您是否要删除\" B002\",\"水浒传\"")));
    giveBack();
    EXPECT_EQ(amount(QStringLiteral("select 卡内金额 from 会员库 where 会员卡号 = '1001'")),
              m("0"));
}

TEST_P(TReturnFmTest, RentMomentInTheFutureChargesOneDay) {
    addCopy(QStringLiteral("F001"), QStringLiteral("未来"));
    addOpenRent(QStringLiteral("F001"), QStringLiteral("未来"), QStringLiteral("散客"),
                QStringLiteral("散客"), "1", "10", QDateTime(QDate(2024, 3, 12), QTime(12, 0)));
    open();
    scan(QStringLiteral("F001")); // 2.08 days ahead
    EXPECT_EQ(cell(0, TReturnFm::Days), QStringLiteral("1"));
    EXPECT_EQ(cell(0, TReturnFm::Rent), QStringLiteral("1"));
    EXPECT_EQ(fm->depositBack()->text(), QStringLiteral("9"));
}

TEST_P(TReturnFmTest, UnreturnedWindowShowsTheCurrentCard) {
    open();
    lookUp(QStringLiteral("1001"));
    QStringList seen;
    WindowRunner look([&](QDialog* d) {
        auto* list = dynamic_cast<TReturnHyWeiHuanFm*>(d);
        ASSERT_NE(list, nullptr);
        for (int row = 0; row < list->grid()->rowCount(); ++row)
            seen << list->grid()->item(row, 0)->text();
        d->accept();
    });
    QTest::mouseDClick(fm->unreturnedBox(), Qt::LeftButton);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("B001"), QStringLiteral("B002")}));
}

TEST_P(TReturnFmTest, ReminderSettingReadsAsABoolean) {
    for (const auto& [setting, yes] :
         {std::pair{"2", true}, std::pair{" true ", true}, std::pair{"0", false},
          std::pair{"false", false}, std::pair{"yes", false}}) {
        writeIni(QString::fromUtf8(setting));
        open();
        EXPECT_EQ(fm->promptAfterReturn(), yes) << setting;
        fm.reset();
    }
}
