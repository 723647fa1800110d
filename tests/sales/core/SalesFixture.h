#pragma once

#include "sales/core/SaleBooking.h"
#include "store/Clock.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

inline Money money(const char* text) {
    return *Money::parse(QString::fromUtf8(text));
}

// A fresh shop on either engine with a fixed clock and helpers to stock it.
class SalesTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Clock::setFixed(QDateTime(QDate(2026, 12, 9), QTime(10, 30, 0)));
    }
    void TearDown() override {
        Clock::setFixed(QDateTime());
        EngineTest::TearDown();
    }

    qint64 addItem(const QString& barcode, const QString& name, const char* price, qint64 stock) {
        auto id = db.insert(
            QStringLiteral("insert into 销售库(条形码,商品名称,商品类型,定价,存放位置,库存) "
                           "values(?,?,?,?,?,?)"),
            {barcode, name, QStringLiteral("普通"), QVariant::fromValue(money(price)),
             QStringLiteral("店内"), stock},
            QStringLiteral("商品id"));
        EXPECT_TRUE(id.ok()) << id.error().toStdString();
        return id.ok() ? id.value() : -1;
    }

    void addMemberType(const QString& name, const char* discount, bool checksExpiry) {
        execOk(QStringLiteral("insert into 会员类型(名称,可借数量,折扣,开户费,有效期限制) "
                              "values(?,?,?,?,?)"),
               {name, 5, QVariant::fromValue(money(discount)), QVariant::fromValue(Money()),
                checksExpiry});
    }

    void addMember(const QString& card, const QString& name, const QString& type,
                   const char* balance, const char* points,
                   const QDateTime& expiry = QDateTime(QDate(2030, 1, 1), QTime(0, 0))) {
        execOk(QStringLiteral("insert into 会员库(会员卡号,会员姓名,会员类型,卡内金额,会员积分,"
                              "有效期,状态) values(?,?,?,?,?,?,?)"),
               {card, name, type, QVariant::fromValue(money(balance)),
                QVariant::fromValue(money(points)), expiry, QStringLiteral("正常")});
    }

    qint64 stockOf(qint64 itemId) {
        auto n =
            db.scalarInteger(QStringLiteral("select 库存 from 销售库 where 商品id = ?"), {itemId});
        EXPECT_TRUE(n.ok());
        return n.ok() ? n.value().value_or(0) : -999;
    }

    Money memberMoney(const QString& card, const QString& column) {
        auto v = db.scalarMoney(
            QStringLiteral("select %1 from 会员库 where 会员卡号 = ?").arg(Db::quoted(column)),
            {card});
        EXPECT_TRUE(v.ok());
        return v.ok() ? v.value() : Money::fromInt(-999999);
    }

    qint64 saleCounter() {
        auto n = db.scalarInteger(QStringLiteral("select 销售单号 from 系统信息"));
        EXPECT_TRUE(n.ok());
        return n.ok() ? n.value().value_or(0) : -1;
    }

    SaleOrder order(QList<SaleLine> lines, const QString& payment = PayCash,
                    const QString& card = WalkIn, const QString& name = WalkIn) {
        SaleOrder o;
        SalePricing::countPrice(lines);
        o.lines = lines;
        o.memberCard = card;
        o.memberName = name;
        o.paymentMode = payment;
        o.adminName = QStringLiteral("收银员");
        return o;
    }

    // Makes every update of table fail from now on.
    void failUpdatesOf(const QString& table) {
        if (db.engine() == Engine::Sqlite) {
            execOk(QStringLiteral("CREATE TRIGGER injected_update BEFORE UPDATE ON %1 "
                                  "BEGIN SELECT RAISE(ABORT, 'injected failure'); END")
                       .arg(Db::quoted(table)));
        } else {
            execOk(QStringLiteral(
                "CREATE OR REPLACE FUNCTION injected_update() RETURNS trigger AS "
                "$$ BEGIN RAISE EXCEPTION 'injected failure'; END $$ LANGUAGE plpgsql"));
            execOk(QStringLiteral("CREATE TRIGGER injected_update BEFORE UPDATE ON %1 "
                                  "FOR EACH ROW EXECUTE FUNCTION injected_update()")
                       .arg(Db::quoted(table)));
        }
    }
};
