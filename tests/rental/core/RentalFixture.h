#pragma once

#include "store/Clock.h"
#include "store/LoginContext.h"
#include "store/Money.h"
#include "support/TestDatabase.h"

#include <QDateTime>
#include <QString>

#include <memory>

inline QVariant money(const char* text) {
    return QVariant::fromValue(*Money::parse(QString::fromLatin1(text)));
}

// A fresh shop on one engine with the clock fixed at 2024-03-10 10:00:00,
// goods types "普通" (1 a day, deposit 10) and "光盘" (0.3 a day, deposit 2.5).
class RentalTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (HasFatalFailure())
            return;
        Clock::setFixed(QDateTime(QDate(2024, 3, 10), QTime(10, 0)));
        execOk(QStringLiteral("insert into 商品类型(名称,每日租金,押金) values(?,?,?)"),
               {QStringLiteral("光盘"), money("0.3"), money("2.5")});
    }
    void TearDown() override {
        Clock::setFixed({});
        EngineTest::TearDown();
    }

    void addCopy(const QString& barcode, const QString& name, const QString& type = "普通",
                 const QString& status = "待租", const QVariant& timesRented = 0) {
        execOk(QStringLiteral("insert into 出租库(条形码,商品名称,商品类型,py,定价,出版社,存放位置,"
                              "状态,借出次数) values(?,?,?,?,?,?,?,?,?)"),
               {barcode, name, type, QString(QStringLiteral("PY") + barcode), money("20"),
                QStringLiteral("人民出版社"), QStringLiteral("店内"), status, timesRented});
    }
    void addMemberType(const QString& name, int quota, bool expiryCounts = false,
                       bool noDeposit = false, bool rentFromCard = false) {
        execOk(QStringLiteral("insert into 会员类型(名称,可借数量,折扣,开户费,有效期限制,"
                              "归还时租金卡内扣除,免押金,免租金) values(?,?,?,?,?,?,?,?)"),
               {name, quota, money("1"), money("0"), expiryCounts, rentFromCard, noDeposit, false});
    }
    void addMember(const QString& card, const QString& name, const QString& type,
                   const char* balance = "0",
                   const QDateTime& expiry = QDateTime(QDate(2030, 1, 1), QTime(0, 0))) {
        execOk(QStringLiteral("insert into 会员库(会员卡号,会员姓名,会员类型,卡内金额,有效期) "
                              "values(?,?,?,?,?)"),
               {card, name, type, money(balance), expiry});
    }
    // An open rent record as the rent counter writes it.
    void addOpenRent(const QString& barcode, const QString& name, const QString& card,
                     const QString& member, const char* dailyRent, const char* deposit,
                     const QDateTime& rentedAt) {
        execOk(QStringLiteral(
                   "insert into 出租记录(出租单号,条形码,商品名称,py,押金,每日租金,会员卡号,"
                   "会员姓名,出租日期,已还,出租经手人) values('1',?,?,'',?,?,?,?,?,'否',"
                   "'超级管理员')"),
               {barcode, name, money(deposit), money(dailyRent), card, member, rentedAt});
        execOk(QStringLiteral("update 出租库 set 状态 = ? where 条形码 = ?"), {card, barcode});
    }

    QString text(const QString& sql, const QVariantList& params = {}) {
        auto rows = db.select(sql, params);
        EXPECT_TRUE(rows.ok()) << rows.error().toStdString();
        if (!rows.ok() || !rows.value().next())
            return QStringLiteral("<no row>");
        return rows.value().text(rows.value().record().fieldName(0));
    }
    Money amount(const QString& sql, const QVariantList& params = {}) {
        auto value = db.scalarMoney(sql, params);
        EXPECT_TRUE(value.ok()) << value.error().toStdString();
        return value.ok() ? value.value() : Money::fromInt(-999999);
    }
    qint64 integer(const QString& sql, const QVariantList& params = {}) {
        auto value = db.scalarInteger(sql, params);
        EXPECT_TRUE(value.ok()) << value.error().toStdString();
        return value.ok() ? value.value().value_or(-1) : -999999;
    }
};

inline Money m(const char* text) {
    return *Money::parse(QString::fromLatin1(text));
}
