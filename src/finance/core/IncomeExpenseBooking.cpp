#include "finance/core/IncomeExpenseBooking.h"

#include "store/Clock.h"
#include "store/TypedNumber.h"

namespace IncomeExpenseBooking {

Result<Money> amountFrom(const QString& typed) {
    auto whole =
        TypedNumber::read(typed, TypedNumber::sayingOnly<qint64>(WrongAmount, 1, MaxAmount));
    if (!whole)
        return Error{whole.error()};
    return Money::fromInt(whole.value());
}

namespace {

// Texts left empty are stored as empty texts, never as NULL.
QString stored(const QString& text) {
    return text.isNull() ? QString(u""_qs) : text;
}

bool validAmount(Money amount) {
    return amount >= Money::fromInt(1) && amount <= Money::fromInt(MaxAmount);
}

Result<qint64> insertOne(const Db& db, const QString& sql, const QVariantList& params,
                         const QString& bookingKey) {
    qint64 id = 0;
    Status done = db.inTransaction(
        [&]() -> Status {
            auto inserted = db.insert(sql, params);
            if (!inserted)
                return Error{inserted.error()};
            id = inserted.value();
            return {};
        },
        bookingKey);
    if (!done)
        return Error{done.error()};
    return id;
}

} // namespace

Result<qint64> bookIncome(const Db& db, const OtherIncome& income, const QString& admin) {
    if (!validAmount(income.amount))
        return Error{WrongAmount};
    return insertOne(db,
                     QStringLiteral("insert into 收入记录(项目,金额,日期,会员卡号,会员姓名,管理员,"
                                    "说明) values(?,?,?,?,?,?,?)"),
                     {stored(income.item.trimmed()), QVariant::fromValue(income.amount),
                      Clock::now(), FeeCard, stored(income.payer.trimmed()), stored(admin),
                      stored(income.remark)},
                     income.bookingKey);
}

Result<qint64> bookExpense(const Db& db, const Expense& expense, const QString& admin) {
    if (expense.item.trimmed().isEmpty())
        return Error{NoItem};
    if (!validAmount(expense.amount))
        return Error{WrongAmount};
    return insertOne(db,
                     QStringLiteral("insert into 支出记录(项目,金额,日期,姓名,管理员,说明) "
                                    "values(?,?,?,?,?,?)"),
                     {stored(expense.item.trimmed()), QVariant::fromValue(expense.amount),
                      Clock::now(), stored(expense.payee.trimmed()), stored(admin),
                      stored(expense.remark)},
                     expense.bookingKey);
}

} // namespace IncomeExpenseBooking
