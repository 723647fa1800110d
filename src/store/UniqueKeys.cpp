#include "store/UniqueKeys.h"

namespace UniqueKeys {

QString takenText(const QString& caption, const QString& value) {
    return QStringLiteral("%1 %2 已存在").arg(caption, value);
}

Result<bool> isTaken(const Db& db, const QString& table, const QString& column,
                     const QVariant& value) {
    auto found = db.scalarInteger(QStringLiteral("select count(*) from %1 where %2 = ?")
                                      .arg(Db::quoted(table), Db::quoted(column)),
                                  {value});
    if (!found)
        return Error{found.error()};
    return found.value().value_or(0) > 0;
}

Status refuseTaken(const Db& db, const QString& table, const QString& column, const QVariant& value,
                   const QString& caption) {
    auto taken = isTaken(db, table, column, value);
    if (!taken)
        return Error{taken.error()};
    if (taken.value())
        return Error{takenText(caption, value.toString())};
    return {};
}

Error explainFailure(const Db& db, const QString& failure, const QString& table,
                     const QString& column, const QVariant& value, const QString& caption) {
    auto taken = isTaken(db, table, column, value);
    if (taken && taken.value())
        return Error{takenText(caption, value.toString())};
    return Error{failure};
}

} // namespace UniqueKeys
