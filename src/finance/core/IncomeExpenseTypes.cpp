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
    return {QStringLiteral("select * from 收支类型 order by 类型 desc, id"), {}, connectionName};
}

Result<qint64> add(const Db& db, const QString& kind, const QString& name) {
    if (kind != Income && kind != Expense)
        return Error{QStringLiteral("类型只能是收入或支出!")};
    if (name.trimmed().isEmpty())
        return Error{QStringLiteral("名称不能为空!")};
    return db.insert(QStringLiteral("insert into 收支类型(类型,名称) values(?,?)"),
                     {kind, name.trimmed()});
}

Result<qint64> remove(const Db& db, qint64 id) {
    auto deleted = db.exec(QStringLiteral("delete from 收支类型 where id = ?"), {id});
    if (!deleted)
        return Error{deleted.error()};
    return deleted.value();
}

} // namespace IncomeExpenseTypes
