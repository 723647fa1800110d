#pragma once

#include "store/Db.h"
#include "store/ListQuery.h"

#include <QString>
#include <QStringList>

// The item names offered by the income and expense windows (table
// 收支类型). A booked row keeps the name as text, so removing or renaming
// a type never changes a booked row. Names need not be unique.
namespace IncomeExpenseTypes {

inline const QString Income = QStringLiteral("收入");
inline const QString Expense = QStringLiteral("支出");

// The names of one kind, as the table returns them.
Result<QStringList> names(const Db& db, const QString& kind);

// Every type, ordered by 类型 descending.
ListQuery listQuery(const QString& connectionName);

// Adds one type with the trimmed name. The kind must be Income or Expense
// and the name not blank. Gives the new row's key.
Result<qint64> add(const Db& db, const QString& kind, const QString& name);

// Removes the row of that key (column id), the one chosen even among rows
// of one kind and name. Gives the rows removed: 0 when it was gone already.
Result<qint64> remove(const Db& db, qint64 id);

} // namespace IncomeExpenseTypes
