#include "store/ChoiceLists.h"

namespace ChoiceLists {

QString tableOf(List list) {
    switch (list) {
    case List::GoodsTypes:
        return QStringLiteral("商品类型");
    case List::Places:
        return QStringLiteral("存放位置");
    case List::Media:
        return QStringLiteral("介质");
    case List::Publishers:
        return QStringLiteral("出版社");
    case List::Suppliers:
        return QStringLiteral("供应商");
    case List::Units:
        return QStringLiteral("单位部门");
    }
    return {};
}

Result<QStringList> names(const Db& db, List list) {
    // the table's own order: rowid on SQLite, physical order on PostgreSQL
    auto rows = db.select(QStringLiteral("select 名称 from %1").arg(Db::quoted(tableOf(list))));
    if (!rows)
        return Error{rows.error()};
    QStringList result;
    while (rows.value().next())
        result << rows.value().text(QStringLiteral("名称"));
    return result;
}

} // namespace ChoiceLists
