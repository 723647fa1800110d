#pragma once

#include "store/Db.h"

#include <QStringList>
#include <QVariantMap>

// The rules of the member types (会员类型) over a row of column -> value, as
// the types window edits it. "散客" is the walk-in customer's type: always
// there, never renamed or deleted.
namespace MemberTypeRules {

// A new type: no expiry check, rent taken from the card at return, a
// deposit taken, rent charged (columns not on the form included).
QVariantMap newType();
// Values a field left empty takes on save: 可借数量 999, 折扣 1, 开户费 0.
QVariantMap defaultsOnSave();
// Before saving: the name is the key the counters look the type up by, so
// it is kept without stray blanks.
void normalize(QVariantMap& row);
// Columns that may not change for the type: the name of "散客".
QStringList lockedColumns(const QString& name);
// "散客类型不能删除!" for the walk-in type, else empty.
QString refuseDelete(const QString& name);

// Names in the order the table gives them, "散客" left out: the types a
// member may get.
Result<QStringList> memberTypeNames(const Db& db);
// How many types there are, "散客" included.
Result<qint64> typeCount(const Db& db);

} // namespace MemberTypeRules
