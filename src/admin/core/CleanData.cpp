#include "admin/core/CleanData.h"

#include "store/Passwords.h"

#include <algorithm>

namespace CleanData {

const QList<Step>& steps() {
    static const QList<Step> all = {
        {QStringLiteral("清空出租库"), QStringLiteral("出租库"), false,
         QStringLiteral("删除出租库数据完毕!")},
        {QStringLiteral("清空销售库"), QStringLiteral("销售库"), false,
         QStringLiteral("删除销售库数据完毕!")},
        {QStringLiteral("清空会员库"), QStringLiteral("会员库"), false,
         QStringLiteral("删除会员数据完毕!")},
        {QStringLiteral("删除全部出租记录"), QStringLiteral("出租记录"), false,
         QStringLiteral("删除出租记录数据完毕!")},
        {QStringLiteral("清空收入记录"), QStringLiteral("收入记录"), false,
         QStringLiteral("删除收入记录数据完毕!")},
        {QStringLiteral("删除已还出租记录"), QStringLiteral("出租记录"), true,
         QStringLiteral("删除已还出租记录数据完毕!")},
        {QStringLiteral("销售记录"), QStringLiteral("销售记录"), false,
         QStringLiteral("删除销售记录数据完毕!")},
        {QStringLiteral("进货记录"), QStringLiteral("进货记录"), false,
         QStringLiteral("删除进货记录数据完毕!")},
        {QStringLiteral("收入记录"), QStringLiteral("收入记录"), false,
         QStringLiteral("删除收入记录数据完毕!")},
        {QStringLiteral("支出记录"), QStringLiteral("支出记录"), false,
         QStringLiteral("删除支出记录数据完毕!")},
        {QStringLiteral("退货记录"), QStringLiteral("退货记录"), false,
         QStringLiteral("删除退货记录数据完毕!")},
    };
    return all;
}

bool passwordMatches(const QString& typed) {
    return Passwords::equalConstantTime(typed, QStringLiteral("kqz507318264"));
}

Result<QStringList> run(const Db& db, const QList<int>& chosen,
                        const std::function<void(int, int)>& progress) {
    QList<int> order = chosen;
    std::stable_sort(order.begin(), order.end());
    for (int index : order) {
        if (index < 0 || index >= steps().size())
            return Error{QStringLiteral("没有这个初始化项目: %1").arg(index)};
    }
    QStringList messages;
    const Status done = db.inTransaction([&]() -> Status {
        messages.clear(); // run again after a deadlock
        for (int index : order) {
            const Step& step = steps().at(index);
            QString sql = QStringLiteral("delete from ") + Db::quoted(step.table);
            QVariantList params;
            if (step.settledRentsOnly) {
                sql += QStringLiteral(" where \"已还\" = ?");
                params << QStringLiteral("是");
            }
            auto deleted = db.exec(sql, params);
            if (!deleted)
                return Error{deleted.error()};
            messages << step.message;
            if (progress)
                progress(int(messages.size()), int(order.size()));
        }
        return {};
    });
    if (!done)
        return Error{done.error()};
    return messages;
}

} // namespace CleanData
