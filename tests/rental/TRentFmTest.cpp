#include "rental/TRentFm.h"
#include "CounterWindowFixture.h"
#include "support/ModalStandIns.h"
#include "ui/NumberEdit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

class TRentFmTest : public CounterWindowTest<TRentFm> {
protected:
    void SetUp() override {
        CounterWindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (HasFatalFailure())
            return;
        login.adminName = QStringLiteral("小王");
        execOk(QStringLiteral("insert into 商品类型(名称,每日租金,押金) values(?,?,?)"),
               {QStringLiteral("新书"), money("2"), money("5")});
        addCopy(QStringLiteral("B001"), QStringLiteral("红楼梦"), QStringLiteral("新书"));
        addCopy(QStringLiteral("B002"), QStringLiteral("水浒传"), QStringLiteral("光盘"));
        addCopy(QStringLiteral("B003"), QStringLiteral("西游记"));
        addCopy(QStringLiteral("B004"), QStringLiteral("三国演义"));
        addCopy(QStringLiteral("X900"), QStringLiteral("停租的书"), QStringLiteral("普通"),
                QStringLiteral("停租"));
        addMemberType(QStringLiteral("三本卡"), 3);
        addMember(QStringLiteral("1001"), QStringLiteral("张三"), QStringLiteral("三本卡"), "20");
        open();
    }
};
SHOP_ON_BOTH_ENGINES(TRentFmTest);

TEST_P(TRentFmTest, OpensInTheWalkInStateWithTheNextOrderNumber) {
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("出租"));
    EXPECT_EQ(fm->cardBox()->text(), QStringLiteral("散客"));
    EXPECT_EQ(fm->nameBox()->text(), QStringLiteral("散客"));
    EXPECT_EQ(fm->typeBox()->text(), QStringLiteral("散客"));
    EXPECT_EQ(fm->balanceBox()->text(), QStringLiteral("0"));
    EXPECT_EQ(fm->mayBorrowBox()->text(), QStringLiteral("9999"));
    EXPECT_EQ(fm->unreturnedBox()->text(), QStringLiteral("0"));
    EXPECT_EQ(fm->countLabel()->text(), QStringLiteral("0"));
    EXPECT_EQ(fm->depositTotal()->text(), QStringLiteral("0"));
    EXPECT_EQ(fm->orderNumberLabel()->text(), QStringLiteral("1"));
    EXPECT_TRUE(fm->takeDepositButton()->isChecked());
    EXPECT_EQ(fm->rentButton()->text(), QStringLiteral("出租 "));
    EXPECT_TRUE(prompts.shown().isEmpty());
}

TEST_P(TRentFmTest, EntriesBoxesAndButtonsKeepTheirTabOrderAndCaptions) {
    EXPECT_EQ(inTabOrder<QLineEdit>(),
              (QList<QWidget*>{fm->cardEntry(), fm->barcodeEntry(), fm->cardBox(), fm->nameBox(),
                               fm->typeBox(), fm->balanceBox(), fm->mayBorrowBox(),
                               fm->unreturnedBox()}));
    for (QLineEdit* box : {fm->cardBox(), fm->nameBox(), fm->typeBox(), fm->balanceBox(),
                           fm->mayBorrowBox(), fm->unreturnedBox()})
        EXPECT_TRUE(box->isReadOnly());
    EXPECT_FALSE(fm->cardEntry()->isReadOnly());
    EXPECT_FALSE(fm->barcodeEntry()->isReadOnly());
    expectSharedControls(fm->rentButton());
    ASSERT_EQ(fm->lines()->model()->columnCount(), TRentFm::ColumnCount);
    EXPECT_EQ(fm->lines()->model()->headerData(TRentFm::DailyRent, Qt::Horizontal).toString(),
              QStringLiteral("每日租金"));
    QTest::mouseClick(fm->closeButton(), Qt::LeftButton);
    EXPECT_FALSE(fm->isVisible());
    EXPECT_EQ(fm->result(), QDialog::Rejected);
}

TEST_P(TRentFmTest, WalkInRentBooksUnderTheShownNumberAndResets) {
    scan(QStringLiteral("B001"));
    scan(QStringLiteral("B002"));
    ASSERT_EQ(lineCount(), 2);
    EXPECT_EQ(cell(0, TRentFm::Name), QStringLiteral("红楼梦"));
    EXPECT_EQ(cell(0, TRentFm::Py), QStringLiteral("PYB001"));
    EXPECT_EQ(cell(0, TRentFm::GoodsType), QStringLiteral("新书"));
    EXPECT_EQ(cell(0, TRentFm::Deposit), QStringLiteral("5"));
    EXPECT_EQ(cell(0, TRentFm::DailyRent), QStringLiteral("2"));
    EXPECT_EQ(cell(1, TRentFm::Deposit), QStringLiteral("2.5"));
    EXPECT_EQ(fm->depositTotal()->text(), QStringLiteral("7.5"));
    EXPECT_EQ(fm->countLabel()->text(), QStringLiteral("2"));
    EXPECT_EQ(fm->barcodeEntry()->selectedText(), QStringLiteral("B002"));

    prompts.setNextAnswer(true);
    QTest::mouseClick(fm->rentButton(), Qt::LeftButton);
    ASSERT_EQ(prompts.texts().size(), 2) << prompts.texts().join(u'|').toStdString();
    EXPECT_EQ(prompts.texts()[0], QStringLiteral("您确定要出租这些商品? "));
    EXPECT_EQ(prompts.texts()[1], QStringLiteral("完成!\n单据号: 1"));
    EXPECT_EQ(count(QStringLiteral("出租记录"),
                    QStringLiteral("会员卡号 = '散客' and 会员姓名 = '散客' and 出租单号 = '1' and "
                                   "已还 = '否' and 出租经手人 = '小王'")),
              2);
    EXPECT_EQ(count(QStringLiteral("出租库"), QStringLiteral("状态 = '散客'")), 2);
    EXPECT_EQ(amount(QStringLiteral("select sum(押金) from 出租记录")), m("7.5"));
    EXPECT_EQ(lineCount(), 0);
    EXPECT_EQ(fm->orderNumberLabel()->text(), QStringLiteral("2"));
    EXPECT_EQ(fm->countLabel()->text(), QStringLiteral("0"));
}

TEST_P(TRentFmTest, AnsweringNoBooksNothing) {
    scan(QStringLiteral("B001"));
    prompts.setNextAnswer(false);
    QTest::mouseClick(fm->rentButton(), Qt::LeftButton);
    EXPECT_EQ(count(QStringLiteral("出租记录")), 0);
    EXPECT_EQ(lineCount(), 1);
}

TEST_P(TRentFmTest, MemberQuotaCountsUnreturnedCopies) {
    addOpenRent(QStringLiteral("B004"), QStringLiteral("三国演义"), QStringLiteral("1001"),
                QStringLiteral("张三"), "1", "10", QDateTime(QDate(2024, 3, 9), QTime(9, 0)));
    lookUp(QStringLiteral(" 1001 "));
    EXPECT_EQ(fm->cardBox()->text(), QStringLiteral("1001"));
    EXPECT_EQ(fm->nameBox()->text(), QStringLiteral("张三"));
    EXPECT_EQ(fm->typeBox()->text(), QStringLiteral("三本卡"));
    EXPECT_EQ(fm->balanceBox()->text(), QStringLiteral("20"));
    EXPECT_EQ(fm->unreturnedBox()->text(), QStringLiteral("1"));
    EXPECT_EQ(fm->mayBorrowBox()->text(), QStringLiteral("2"));
    EXPECT_EQ(fm->focusWidget(), fm->barcodeEntry());
    scan(QStringLiteral("B001"));
    scan(QStringLiteral("B002"));
    EXPECT_TRUE(prompts.shown().isEmpty());
    scan(QStringLiteral("B003"));
    EXPECT_EQ(prompts.lastText(), QStringLiteral("已经超过了可借数量限制,不能再借阅了!"));
    EXPECT_EQ(lineCount(), 2);

    prompts.setNextAnswer(true);
    QTest::mouseClick(fm->rentButton(), Qt::LeftButton);
    EXPECT_EQ(count(QStringLiteral("出租记录"),
                    QStringLiteral("会员卡号 = '1001' and 会员姓名 = '张三' and 已还 = '否'")),
              3);
    EXPECT_EQ(text(QStringLiteral("select 状态 from 出租库 where 条形码 = 'B002'")),
              QStringLiteral("1001"));
    // back to the walk-in customer
    EXPECT_EQ(fm->cardBox()->text(), QStringLiteral("散客"));
    EXPECT_EQ(fm->mayBorrowBox()->text(), QStringLiteral("9999"));
}

TEST_P(TRentFmTest, MoreUnreturnedThanTheTypeAllowsRefusesEveryScan) {
    addMemberType(QStringLiteral("一本卡"), 1);
    addMember(QStringLiteral("1002"), QStringLiteral("李四"), QStringLiteral("一本卡"));
    addOpenRent(QStringLiteral("B003"), QStringLiteral("西游记"), QStringLiteral("1002"),
                QStringLiteral("李四"), "1", "10", QDateTime(QDate(2024, 3, 9), QTime(9, 0)));
    addOpenRent(QStringLiteral("B004"), QStringLiteral("三国演义"), QStringLiteral("1002"),
                QStringLiteral("李四"), "1", "10", QDateTime(QDate(2024, 3, 9), QTime(9, 0)));
    lookUp(QStringLiteral("1002"));
    EXPECT_EQ(fm->mayBorrowBox()->text(), QStringLiteral("-1"));
    scan(QStringLiteral("B001"));
    EXPECT_EQ(prompts.lastText(), QStringLiteral("已经超过了可借数量限制,不能再借阅了!"));
    EXPECT_EQ(lineCount(), 0);
}

TEST_P(TRentFmTest, UnknownCardAndUnknownTypeAreReported) {
    lookUp(QStringLiteral("1001"));
    EXPECT_EQ(fm->cardBox()->text(), QStringLiteral("1001"));
    // an unknown card leaves no earlier member in effect
    lookUp(QStringLiteral("9999"));
    EXPECT_EQ(prompts.lastText(), QStringLiteral("没有找到这个卡号的会员资料,请检查卡号是否正确!"));
    EXPECT_EQ(fm->cardBox()->text(), QStringLiteral("散客"));
    EXPECT_EQ(fm->nameBox()->text(), QStringLiteral("散客"));
    EXPECT_EQ(fm->typeBox()->text(), QStringLiteral("散客"));
    EXPECT_EQ(fm->balanceBox()->text(), QStringLiteral("0"));
    EXPECT_EQ(fm->mayBorrowBox()->text(), QStringLiteral("9999"));
    EXPECT_EQ(fm->cardEntry()->selectedText(), QStringLiteral("9999"));

    addMember(QStringLiteral("1003"), QStringLiteral("王五"), QStringLiteral("已删除的类型"));
    scan(QStringLiteral("B001"));
    lookUp(QStringLiteral("1003"));
    EXPECT_EQ(prompts.lastText(), QStringLiteral("会员类型 中没有找到对应的会员类型!"));
    EXPECT_EQ(fm->cardBox()->text(), QStringLiteral("1003"));
    EXPECT_EQ(fm->mayBorrowBox()->text(), QStringLiteral("9999"));
    EXPECT_EQ(lineCount(), 1); // the list stays as it was
}

TEST_P(TRentFmTest, ExpiryIsOnlyAWarningAndOnlyForTypesThatCheckIt) {
    const QDateTime expired(QDate(2024, 3, 1), QTime(0, 0));
    addMemberType(QStringLiteral("限期卡"), 5, true);
    addMember(QStringLiteral("2001"), QStringLiteral("过期甲"), QStringLiteral("限期卡"), "0",
              expired);
    addMember(QStringLiteral("2002"), QStringLiteral("过期乙"), QStringLiteral("三本卡"), "0",
              expired);
    lookUp(QStringLiteral("2002"));
    EXPECT_TRUE(prompts.shown().isEmpty());
    lookUp(QStringLiteral("2001"));
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("重要提示: 该会员有效期已到!")});
    scan(QStringLiteral("B001"));
    EXPECT_EQ(lineCount(), 1);
}

TEST_P(TRentFmTest, FragmentMatchingOneAddsItAndSeveralOpenTheChoice) {
    addCopy(QStringLiteral("K-7-1"), QStringLiteral("围城"));
    addCopy(QStringLiteral("K-7-2"), QStringLiteral("围城"));
    addCopy(QStringLiteral("K-7-3"), QStringLiteral("围城"), QStringLiteral("普通"),
            QStringLiteral("1001"));
    int opened = 0;
    {
        WindowRunner cancel([&](QDialog* d) {
            ++opened;
            auto* choice = dynamic_cast<TRentGoodsChoiceFm*>(d);
            ASSERT_NE(choice, nullptr);
            EXPECT_EQ(choice->windowTitle(), QStringLiteral("选择商品"));
            EXPECT_FALSE(choice->windowFlags() & Qt::WindowCloseButtonHint);
            EXPECT_EQ(choice->grid()->rowCount(), 4);
            EXPECT_FALSE(choice->moreNote()->isVisible());
            QTest::mouseClick(choice->cancelButton(), Qt::LeftButton);
        });
        scan(QStringLiteral("00"));
    }
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(lineCount(), 0);
    {
        WindowRunner pick([&](QDialog* d) {
            auto* choice = dynamic_cast<TRentGoodsChoiceFm*>(d);
            ASSERT_NE(choice, nullptr);
            ASSERT_EQ(choice->grid()->rowCount(), 2); // K-7-3 is rented out
            EXPECT_EQ(choice->grid()->item(1, 0)->text(), QStringLiteral("K-7-2"));
            EXPECT_EQ(choice->grid()->item(1, 3)->text(), QStringLiteral("20"));
            EXPECT_EQ(choice->grid()->item(1, 4)->text(), QStringLiteral("人民出版社"));
            choice->grid()->selectRow(1);
            QTest::mouseClick(choice->okButton(), Qt::LeftButton);
        });
        scan(QStringLiteral("K-7"));
    }
    ASSERT_EQ(lineCount(), 1);
    EXPECT_EQ(cell(0, TRentFm::Barcode), QStringLiteral("K-7-2"));
    // one match is added without asking
    scan(QStringLiteral("003"));
    EXPECT_TRUE(prompts.shown().isEmpty());
    EXPECT_EQ(cell(lineCount() - 1, TRentFm::Barcode), QStringLiteral("B003"));
}

TEST_P(TRentFmTest, DuplicateUnavailableAndTypelessCopiesAreRefused) {
    scan(QStringLiteral("B001"));
    scan(QStringLiteral("B001"));
    EXPECT_EQ(prompts.lastText(), QStringLiteral("提示: 已经添加过了."));
    scan(QStringLiteral("X900"));
    EXPECT_EQ(prompts.lastText(), QStringLiteral("没有找到该商品信息,请检查输入的信息是否正确!"));
    EXPECT_EQ(fm->barcodeEntry()->selectedText(), QStringLiteral("X900"));
    addCopy(QStringLiteral("T100"), QStringLiteral("无类型"), QStringLiteral("古籍"));
    scan(QStringLiteral("T100"));
    EXPECT_EQ(prompts.lastText(),
              QStringLiteral("商品类型中没有: 古籍 ,请先设置去设置(商品类型)!"));
    EXPECT_EQ(lineCount(), 1);
}

TEST_P(TRentFmTest, DepositFreeModeShowsZeroKeepsLinesAndBooksZero) {
    scan(QStringLiteral("B001"));
    scan(QStringLiteral("B002"));
    QTest::mouseClick(fm->freeDepositButton(), Qt::LeftButton);
    EXPECT_TRUE(fm->freeDepositButton()->isChecked());
    EXPECT_EQ(fm->depositTotal()->text(), QStringLiteral("0"));
    EXPECT_EQ(cell(0, TRentFm::Deposit), QStringLiteral("5"));
    scan(QStringLiteral("B003")); // added in this mode: deposit 0
    EXPECT_EQ(cell(2, TRentFm::Deposit), QStringLiteral("0"));
    prompts.setNextAnswer(true);
    QTest::mouseClick(fm->rentButton(), Qt::LeftButton);
    EXPECT_EQ(count(QStringLiteral("出租记录")), 3);
    EXPECT_EQ(amount(QStringLiteral("select sum(押金) from 出租记录")), m("0"));
    // the mode outlives the booking
    EXPECT_TRUE(fm->freeDepositButton()->isChecked());
    QTest::mouseClick(fm->takeDepositButton(), Qt::LeftButton);
    scan(QStringLiteral("B004"));
    EXPECT_EQ(fm->depositTotal()->text(), QStringLiteral("10"));
}

TEST_P(TRentFmTest, DepositFreeMemberTypeSetsTheModeForTheNextWalkInToo) {
    addMemberType(QStringLiteral("免押卡"), 5, false, true);
    addMember(QStringLiteral("3001"), QStringLiteral("赵六"), QStringLiteral("免押卡"));
    lookUp(QStringLiteral("3001"));
    EXPECT_TRUE(fm->freeDepositButton()->isChecked());
    scan(QStringLiteral("B001"));
    EXPECT_EQ(cell(0, TRentFm::Deposit), QStringLiteral("0"));
    prompts.setNextAnswer(true);
    QTest::mouseClick(fm->rentButton(), Qt::LeftButton);
    EXPECT_EQ(fm->cardBox()->text(), QStringLiteral("散客"));
    EXPECT_TRUE(fm->freeDepositButton()->isChecked());
    lookUp(QStringLiteral("1001")); // a type with deposit
    EXPECT_TRUE(fm->takeDepositButton()->isChecked());
}

TEST_P(TRentFmTest, DepositEditNeedsThePermissionAndRefusesMalformedNumbers) {
    scan(QStringLiteral("B001"));
    scan(QStringLiteral("B002"));
    int opened = 0;
    WindowRunner never([&](QDialog* d) {
        ++opened;
        d->reject();
    });
    doubleClickLine(0);
    EXPECT_EQ(prompts.lastText(), QStringLiteral("没有修改权限!"));
    EXPECT_EQ(opened, 0);

    login.permissions.set(Permission::RentDepositEdit, true);
    prompts.clear();
    WindowRunner edit([&](QDialog* d) {
        auto* editFm = dynamic_cast<TRentYaJinXiuGaiFm*>(d);
        ASSERT_NE(editFm, nullptr);
        EXPECT_EQ(editFm->windowTitle(), QStringLiteral("请输入押金"));
        EXPECT_EQ(editFm->edit()->text(), QStringLiteral("2.5"));
        editFm->edit()->clear();
        QTest::mouseClick(editFm->okButton(), Qt::LeftButton); // empty: nothing
        EXPECT_TRUE(editFm->isVisible());
        editFm->edit()->setText(QStringLiteral("1.2.3"));
        QTest::mouseClick(editFm->okButton(), Qt::LeftButton);
        EXPECT_TRUE(editFm->isVisible());
        editFm->edit()->clear();
        QTest::keyClicks(editFm->edit(), QStringLiteral("8a.5"));
        EXPECT_EQ(editFm->edit()->text(), QStringLiteral("8.5"));
        QTest::mouseClick(editFm->okButton(), Qt::LeftButton);
    });
    doubleClickLine(1);
    ASSERT_EQ(prompts.texts().size(), 1);
    EXPECT_TRUE(prompts.texts()[0].contains(QStringLiteral("1.2.3")));
    EXPECT_EQ(cell(1, TRentFm::Deposit), QStringLiteral("8.5"));
    EXPECT_EQ(fm->depositTotal()->text(), QStringLiteral("13.5"));
    prompts.setNextAnswer(true);
    QTest::mouseClick(fm->rentButton(), Qt::LeftButton);
    EXPECT_EQ(amount(QStringLiteral("select 押金 from 出租记录 where 条形码 = 'B002'")), m("8.5"));
}

TEST_P(TRentFmTest, RemovingALineAsksWithBarcodeAndName) {
    scan(QStringLiteral("B001"));
    scan(QStringLiteral("B002"));
    QTest::mouseClick(fm->removeButton(), Qt::LeftButton); // nothing selected: nothing
    EXPECT_TRUE(prompts.shown().isEmpty());
    fm->lines()->selectRow(0);
    prompts.setNextAnswer(false);
    QTest::mouseClick(fm->removeButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.lastText(), QStringLiteral("您是否要删除\" B001\",\"红楼梦\""));
    EXPECT_EQ(lineCount(), 2);
    prompts.setNextAnswer(true);
    QTest::mouseClick(fm->removeButton(), Qt::LeftButton);
    ASSERT_EQ(lineCount(), 1);
    EXPECT_EQ(cell(0, TRentFm::Barcode), QStringLiteral("B002"));
    EXPECT_EQ(fm->depositTotal()->text(), QStringLiteral("2.5"));
    EXPECT_EQ(fm->countLabel()->text(), QStringLiteral("1"));
}

TEST_P(TRentFmTest, EscWithLinesNotBookedAsksBeforeClosing) {
    QTest::keyClick(fm.get(), Qt::Key_Escape); // no lines: closes at once
    EXPECT_TRUE(prompts.shown().isEmpty());
    EXPECT_FALSE(fm->isVisible());
    fm->show();
    scan(QStringLiteral("B001"));
    prompts.setNextAnswer(false);
    QTest::keyClick(fm->barcodeEntry(), Qt::Key_Escape);
    EXPECT_EQ(prompts.lastText(), QStringLiteral("还有未结算的商品, 确定要关闭吗?"));
    EXPECT_TRUE(fm->isVisible());
    EXPECT_EQ(lineCount(), 1);
    prompts.setNextAnswer(true);
    QTest::mouseClick(fm->closeButton(), Qt::LeftButton);
    EXPECT_FALSE(fm->isVisible());
    EXPECT_EQ(count(QStringLiteral("出租记录")), 0);
}

TEST_P(TRentFmTest, FailedBookingWritesNothingAndKeepsTheLines) {
    scan(QStringLiteral("B001"));
    scan(QStringLiteral("B002"));
    // another workstation rents B002 meanwhile
    execOk(QStringLiteral("update 出租库 set 状态 = '1001' where 条形码 = 'B002'"));
    prompts.setNextAnswer(true);
    QTest::mouseClick(fm->rentButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.shown().last().kind, PromptRecorder::Kind::Error);
    EXPECT_TRUE(prompts.lastText().contains(QStringLiteral("B002")));
    EXPECT_EQ(count(QStringLiteral("出租记录")), 0);
    EXPECT_EQ(text(QStringLiteral("select 状态 from 出租库 where 条形码 = 'B001'")),
              QStringLiteral("待租"));
    EXPECT_EQ(text(QStringLiteral("select 出租单号 from 系统信息")), QStringLiteral("0"));
    EXPECT_EQ(lineCount(), 2);

    execOk(QStringLiteral("update 出租库 set 状态 = '待租' where 条形码 = 'B002'"));
    failInsertsInto(QStringLiteral("出租记录"));
    prompts.setNextAnswer(true);
    QTest::mouseClick(fm->rentButton(), Qt::LeftButton);
    EXPECT_TRUE(prompts.lastText().contains(QStringLiteral("injected failure")));
    EXPECT_EQ(count(QStringLiteral("出租库"), QStringLiteral("状态 = '待租'")), 4);
    EXPECT_EQ(lineCount(), 2);
}

TEST_P(TRentFmTest, UnreturnedWindowListsTheCardsOpenRents) {
    addOpenRent(QStringLiteral("B004"), QStringLiteral("三国演义"), QStringLiteral("1001"),
                QStringLiteral("张三"), "1", "10", QDateTime(QDate(2024, 3, 9), QTime(9, 0)));
    addOpenRent(QStringLiteral("B003"), QStringLiteral("西游记"), QStringLiteral("散客"),
                QStringLiteral("散客"), "1", "10", QDateTime(QDate(2024, 3, 9), QTime(9, 0)));
    QStringList seen;
    WindowRunner look([&](QDialog* d) {
        auto* list = dynamic_cast<TRentHyWeiHuanFm*>(d);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->windowTitle(), QStringLiteral("未还信息"));
        for (int row = 0; row < list->grid()->rowCount(); ++row)
            seen << list->grid()->item(row, 0)->text() + u'/' + list->grid()->item(row, 2)->text() +
                        u'/' + list->grid()->item(row, 6)->text();
        d->accept();
    });
    QTest::mouseDClick(fm->unreturnedBox(), Qt::LeftButton);
    EXPECT_EQ(seen, QStringList{QStringLiteral("B003/2024-03-09 09:00:00/超级管理员")});
    seen.clear();
    lookUp(QStringLiteral("1001"));
    QTest::mouseDClick(fm->unreturnedBox(), Qt::LeftButton);
    EXPECT_EQ(seen, QStringList{QStringLiteral("B004/2024-03-09 09:00:00/超级管理员")});
}

TEST(TRentGoodsChoiceFm, SaysWhenTheFragmentMatchedMoreThanItLists) {
    QList<RentalLookup::Copy> copies;
    for (int i = 0; i < 3; ++i)
        copies.append({QStringLiteral("C%1").arg(i), QStringLiteral("书"), {}, {}, {}, {}, {}, {}});
    QString chosen = QStringLiteral("old");
    TRentGoodsChoiceFm choice(copies, true, chosen, nullptr);
    choice.show();
    EXPECT_TRUE(choice.moreNote()->isVisible());
    EXPECT_EQ(choice.moreNote()->text(), QStringLiteral("只列出了前 3 个, 请输入更完整的条形码."));
    choice.grid()->selectRow(2);
    QTest::mouseDClick(choice.grid()->viewport(), Qt::LeftButton, {},
                       choice.grid()->visualItemRect(choice.grid()->item(2, 0)).center());
    EXPECT_EQ(chosen, QStringLiteral("C2"));
    EXPECT_FALSE(choice.isVisible());
    choice.show();
    QTest::keyClick(&choice, Qt::Key_Escape);
    EXPECT_TRUE(chosen.isEmpty());
}
