#include "finance/core/IncomeExpenseTypes.h"

namespace IncomeExpenseTypes {

Result<QStringList> names(const Db& db, const QString& kind) {
    auto rows = db.select(QStringLiteral("select 名称 from 收支类型 where 类型 = ?"), {kind});
    if (!rows)
        return Error{rows.error()};
    QStringList result;
    while (rows.value().next())
        result << rows.value().text(QStringLiteral("名称"));
    return result;
}

ListQuery listQuery(const QString& connectionName) {
    return {QStringLiteral("select * from 收支类型 order by 类型 desc"), {}, connectionName};
}

Status add(const Db& db, const QString& kind, const QString& name) {
    if (kind != Income && kind != Expense)
        return Error{QStringLiteral("类型只能是收入或支出!")};
    if (name.trimmed().isEmpty())
        return Error{QStringLiteral("名称不能为空!")};
    return db.inTransaction([&]() -> Status {
        auto inserted = db.exec(QStringLiteral("insert into 收支类型(类型,名称) values(?,?)"),
                                {kind, name.trimmed()});
        if (!inserted)
            return Error{inserted.error()};
        return {};
    });
}

Result<qint64> remove(const Db& db, const QString& kind, const QString& name) {
    // The table has no key: the engine's row identity picks one of equal rows.
    const QString rowId = db.dialect().rowIdentity();
    qint64 removed = 0;
    Status done = db.inTransaction([&]() -> Status {
        auto deleted = db.exec(QStringLiteral("delete from 收支类型 where %1 = (select %1 from "
                                              "收支类型 where 类型 = ? and 名称 = ? limit 1)")
                                   .arg(rowId),
                               {kind, name});
        if (!deleted)
            return Error{deleted.error()};
        removed = deleted.value();
        return {};
    });
    if (!done)
        return Error{done.error()};
    return removed;
}

} // namespace IncomeExpenseTypes
