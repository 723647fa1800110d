#pragma once

#include "store/Clock.h"
#include "store/Money.h"
#include "support/TestDatabase.h"

#include <QDateTime>

// Record rows written straight into a fresh database, with the clock fixed
// at 2024-03-05 15:20, for the record lists and the stocktaking figures.
class FinanceTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        Clock::setFixed(Now);
    }
    void TearDown() override {
        Clock::setFixed({});
        EngineTest::TearDown();
    }

    static inline const QDateTime Now{QDate(2024, 3, 5), QTime(15, 20, 0)};
    static QDateTime at(const char* text) { return Clock::parseDateTime(QString::fromUtf8(text)); }
    static QVariant money(const char* text) {
        return QVariant::fromValue(*Money::parse(QString::fromUtf8(text)));
    }
    static QString u(const char* text) { return QString::fromUtf8(text); }

    void income(const char* item, const char* amount, const char* when, const char* card = "收费",
                const char* name = "", const char* remark = "") {
        execOk(u("insert into 收入记录(项目,金额,日期,会员卡号,会员姓名,管理员,说明) "
                 "values(?,?,?,?,?,?,?)"),
               {u(item), money(amount), at(when), u(card), u(name), u("店长"), u(remark)});
    }
    void expense(const char* item, const char* amount, const char* when, const char* name = "",
                 const char* remark = "") {
        execOk(u("insert into 支出记录(项目,金额,日期,姓名,管理员,说明) values(?,?,?,?,?,?)"),
               {u(item), money(amount), at(when), u(name), u("店长"), u(remark)});
    }
    // A rent of one copy; returnedAt empty: still out.
    void rent(const char* barcode, const char* order, const char* name, const char* rentedAt,
              const char* deposit, const char* returnedAt = "", const char* collected = "0") {
        const bool back = *returnedAt != '\0';
        execOk(u("insert into 出租记录(出租单号,条形码,商品名称,py,押金,每日租金,会员卡号,会员姓名,"
                 "出租日期,已还,出租经手人,应还日期,归还日期,天数,实收租金) "
                 "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
               {u(order), u(barcode), u(name), u("X"), money(deposit), money("1"), u("C001"),
                u("张三"), at(rentedAt), back ? u("是") : u("否"), u("店长"),
                at(rentedAt).addDays(3), back ? QVariant(at(returnedAt)) : QVariant(), back ? 1 : 0,
                money(collected)});
    }
    void sale(const char* order, const char* barcode, int quantity, const char* total,
              const char* when, const char* memberName = "散客") {
        execOk(u("insert into 销售记录(销售单号,条形码,商品名称,定价,销售单价,数量,折扣,合计,"
                 "商品id,会员卡号,姓名,日期,支付方式,管理员) "
                 "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
               {u(order), u(barcode), u("唱片"), money(total), money(total), quantity, money("1"),
                money(total), u("1"), u("C001"), u(memberName), at(when), u("现金"), u("店长")});
    }
    void purchase(const char* barcode, int quantity, const char* total, const char* when,
                  const char* supplier = "甲供应") {
        execOk(u("insert into 进货记录(条形码,商品名称,商品类型,定价,进货单价,进货数量,折扣,总金额,"
                 "进货日期,供应商,管理员) values(?,?,?,?,?,?,?,?,?,?,?)"),
               {u(barcode), u("唱片"), u("普通"), money("10"), money("8"), quantity, money("0.8"),
                money(total), at(when), u(supplier), u("店长")});
    }
    void refund(const char* order, const char* barcode, int quantity, const char* amount,
                const char* when, const char* memberName = "散客") {
        execOk(u("insert into 退货记录(销售单号,商品id,条形码,商品名称,数量,退还金额,日期,会员卡号,"
                 "姓名,管理员,销售记录id,退还方式) values(?,?,?,?,?,?,?,?,?,?,?,?)"),
               {u(order), u("1"), u(barcode), u("唱片"), quantity, money(amount), at(when),
                u("C001"), u(memberName), u("店长"), 1, u("现金")});
    }
    void saleItem(const char* barcode, int stock, const char* price) {
        execOk(u("insert into 销售库(条形码,商品名称,商品类型,定价,库存) values(?,?,?,?,?)"),
               {u(barcode), u("唱片"), u("普通"), money(price), stock});
    }
    void rentItem(const char* barcode, const char* price) {
        execOk(u("insert into 出租库(条形码,商品名称,商品类型,定价,状态,借出次数) "
                 "values(?,?,?,?,?,?)"),
               {u(barcode), u("小说"), u("普通"), money(price), u("待租"), 0});
    }
};
