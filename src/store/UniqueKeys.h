#pragma once

#include "store/Db.h"

#include <QString>
#include <QVariant>

// Values the schema keeps unique (a rent barcode, a goods type's name): a
// write that would repeat one is refused in the shop's words, naming the
// value ("条形码 R100-1 已存在"), never with the engine's own text.
namespace UniqueKeys {

// caption + " " + value + " 已存在".
QString takenText(const QString& caption, const QString& value);

// Whether a row of table holds value in column.
Result<bool> isTaken(const Db& db, const QString& table, const QString& column,
                     const QVariant& value);

// Refused with takenText when a row holds value already; run it inside the
// booking's transaction, before the write.
Status refuseTaken(const Db& db, const QString& table, const QString& column, const QVariant& value,
                   const QString& caption);

// After a write failed and its transaction ended: when a row holds value now
// (another workstation wrote it meanwhile), the refusal names it; otherwise
// the failure stands as it was.
Error explainFailure(const Db& db, const QString& failure, const QString& table,
                     const QString& column, const QVariant& value, const QString& caption);

} // namespace UniqueKeys
