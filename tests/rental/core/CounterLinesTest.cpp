#include "rental/core/CounterLines.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

namespace {

Money m(const char* text) {
    return *Money::parse(QString::fromLatin1(text));
}

RentalLookup::OpenRent openRent(qint64 id, const char* barcode, const char* deposit,
                                const char* daily, const QDateTime& at) {
    RentalLookup::OpenRent rent;
    rent.id = id;
    rent.barcode = QString::fromLatin1(barcode);
    rent.name = QStringLiteral("红楼梦");
    rent.card = QStringLiteral("A001");
    rent.memberName = QStringLiteral("张三");
    rent.deposit = m(deposit);
    rent.dailyRent = m(daily);
    rent.rentedAt = at;
    return rent;
}

RentalLookup::Copy copy(const char* barcode, const QString& name) {
    RentalLookup::Copy c;
    c.barcode = QString::fromLatin1(barcode);
    c.name = name;
    c.goodsType = QStringLiteral("新书");
    return c;
}

} // namespace

TEST(CounterLines, RentLinesTotalTheirDepositsAndForgetARemovedLine) {
    RentLines lines;
    QAbstractItemModelTester tester(&lines, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const RentalLookup::GoodsType type{QStringLiteral("新书"), m("2"), m("5")};
    lines.add(copy("B001", QStringLiteral("红楼梦")), type, RentPricing::DepositMode::Take);
    lines.add(copy("B002", QStringLiteral("水浒传")), {QStringLiteral("新书"), m("0.5"), m("2.5")},
              RentPricing::DepositMode::Take);
    lines.add(copy("B003", QStringLiteral("西游记")), type, RentPricing::DepositMode::Free);
    EXPECT_EQ(lines.index(1, RentLines::Deposit).data().toString(), QStringLiteral("2.5"));
    EXPECT_EQ(lines.index(2, RentLines::Deposit).data().toString(), QStringLiteral("0"));
    EXPECT_EQ(lines.totals(RentPricing::DepositMode::Take).deposit, m("7.5"));
    EXPECT_EQ(lines.totals(RentPricing::DepositMode::Free).deposit, Money());

    lines.setDeposit(1, m("8.5"));
    EXPECT_EQ(lines.line(1).deposit, m("8.5"));
    EXPECT_EQ(lines.totals(RentPricing::DepositMode::Take).deposit, m("13.5"));
    lines.removeLine(0);
    const auto totals = lines.totals(RentPricing::DepositMode::Take);
    EXPECT_EQ(totals.count, 2);
    EXPECT_EQ(totals.deposit, m("8.5"));
    EXPECT_EQ(lines.barcodeAt(0), QStringLiteral("B002"));
    EXPECT_FALSE(lines.holds(QStringLiteral("B001")));
    EXPECT_TRUE(lines.holds(QStringLiteral("B003")));
}

TEST(CounterLines, ReturnLinesChargeTheDaysKeptAndHandTheBookingTheirValues) {
    ReturnLines lines;
    QAbstractItemModelTester tester(&lines, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QDateTime now(QDate(2024, 3, 13), QTime(10, 0));
    lines.add(openRent(7, "B001", "10", "0.3", now.addDays(-3)), now);
    lines.add(openRent(8, "B002", "0", "3", now.addSecs(-3600)), now);
    EXPECT_EQ(lines.index(0, ReturnLines::Days).data().toString(), QStringLiteral("3"));
    EXPECT_EQ(lines.index(0, ReturnLines::Rent).data().toString(), QStringLiteral("0.9"));
    EXPECT_EQ(lines.index(0, ReturnLines::RentedAt).data().toString(),
              QStringLiteral("2024-03-10 10:00:00"));
    EXPECT_EQ(lines.headerData(ReturnLines::Rent, Qt::Horizontal).toString(),
              QStringLiteral("租金"));
    auto totals = lines.totals();
    EXPECT_EQ(totals.rent, m("3.9"));
    EXPECT_EQ(totals.depositBack, m("6.1"));

    lines.setRent(1, m("0.25"));
    EXPECT_EQ(lines.line(1).days, 1) << "a rent changed by hand keeps its days";
    const ReturnLine& booked = lines.lines().at(1);
    EXPECT_EQ(booked.rentId, 8);
    EXPECT_EQ(booked.rent, m("0.25"));
    EXPECT_EQ(booked.card, QStringLiteral("A001"));
    totals = lines.totals();
    EXPECT_EQ(totals.rent, m("1.15"));
    EXPECT_EQ(totals.depositBack, m("8.85"));
    EXPECT_TRUE(lines.holds(QStringLiteral("B002")));
    lines.clear();
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(lines.totals().depositBack, Money());
}
