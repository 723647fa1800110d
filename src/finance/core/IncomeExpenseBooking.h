#pragma once

#include "store/Db.h"
#include "store/Money.h"

#include <QString>

// Money that comes in for other reasons than rent, sales and recharges
// (fines, fees), and money that goes out.
struct OtherIncome {
    QString item;   // 项目, e.g. "罚款"
    Money amount;   // whole money, at least 1
    QString payer;  // 会员姓名
    QString remark; // 说明, as typed, line breaks included
    // The key of this booking, made before it starts (empty: a new one).
    QString bookingKey = {};
};

struct Expense {
    QString item;   // 项目, required
    Money amount;   // whole money, at least 1
    QString payee;  // 姓名
    QString remark; // 说明, as typed
    // The key of this booking, made before it starts (empty: a new one).
    QString bookingKey = {};
};

namespace IncomeExpenseBooking {

// 会员卡号 of an other-income row: it marks the row, it is no card number.
inline const QString FeeCard = QStringLiteral("收费");
inline const QString WrongAmount = QStringLiteral("请输入正确的金额!");
inline const QString NoItem = QStringLiteral("选择项目!");
// Above this a typed amount is refused: no fee or expense of the shop is
// that large, and sums over the records stay far from the engines' limits.
inline constexpr qint64 MaxAmount = 99999999;

// The amount of a whole-money box: digits only (blanks around them do not
// count), from 1 to MaxAmount; anything else (empty, "0", a sign, a point)
// is WrongAmount.
Result<Money> amountFrom(const QString& typed);

// Books one row of 收入记录 with 会员卡号 "收费" and the time of now; item
// and payer trimmed, remark as typed. Gives the new row's id. An amount
// below 1 is refused and nothing is written.
Result<qint64> bookIncome(const Db& db, const OtherIncome& income, const QString& admin);

// Books one row of 支出记录; an empty item is refused with NoItem.
Result<qint64> bookExpense(const Db& db, const Expense& expense, const QString& admin);

} // namespace IncomeExpenseBooking
