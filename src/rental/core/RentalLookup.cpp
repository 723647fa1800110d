#include "rental/core/RentalLookup.h"

#include "store/TextSearch.h"

namespace RentalLookup {

namespace {

// The columns a copy is read with: never its picture, which a search would
// otherwise read for every copy it finds.
const QString CopyColumns =
    QStringLiteral("条形码, 商品名称, py, 商品类型, 状态, 定价, 出版社, 存放位置");

Copy copyFrom(const Rows& rows) {
    return Copy{rows.text(QStringLiteral("条形码")), rows.text(QStringLiteral("商品名称")),
                rows.text(QStringLiteral("py")),     rows.text(QStringLiteral("商品类型")),
                rows.text(QStringLiteral("状态")),   rows.money(QStringLiteral("定价")),
                rows.text(QStringLiteral("出版社")), rows.text(QStringLiteral("存放位置"))};
}

Result<QList<OpenRent>> openRentsWhere(const Db& db, const QString& condition,
                                       const QVariantList& params) {
    auto rows = db.select(QStringLiteral("select * from 出租记录 where 已还 = '否' and ") +
                              condition + QStringLiteral(" order by id"),
                          params);
    if (!rows)
        return Error{rows.error()};
    QList<OpenRent> rents;
    while (rows.value().next()) {
        const Rows& r = rows.value();
        rents.append(
            OpenRent{r.integer(QStringLiteral("id")), r.text(QStringLiteral("条形码")),
                     r.text(QStringLiteral("商品名称")), r.money(QStringLiteral("每日租金")),
                     r.text(QStringLiteral("会员卡号")), r.text(QStringLiteral("会员姓名")),
                     r.money(QStringLiteral("押金")), r.dateTime(QStringLiteral("出租日期")),
                     r.text(QStringLiteral("出租经手人"))});
    }
    return rents;
}

} // namespace

Result<QList<Copy>> availableCopies(const Db& db, const QString& fragment, int maxRows) {
    if (Status fits = Db::checkSearchText(fragment); !fits)
        return Error{fits.error()};
    const TextSearch::Condition found =
        TextSearch::contains(db, QStringLiteral("出租库"), QStringLiteral("条形码"), fragment);
    // the status index would drive the search through most copies
    auto rows =
        db.select(QStringLiteral("select ") + CopyColumns + QStringLiteral(" from 出租库 where ") +
                      found.sql +
                      QStringLiteral(" and %1 = ? order by 条形码 limit ?")
                          .arg(db.dialect().withoutIndex(Db::quoted(QStringLiteral("状态")))),
                  found.params + QVariantList{Available, maxRows + 1});
    if (!rows)
        return Error{rows.error()};
    QList<Copy> copies;
    while (rows.value().next())
        copies.append(copyFrom(rows.value()));
    return copies;
}

Result<std::optional<Copy>> copy(const Db& db, const QString& barcode) {
    auto rows = db.select(QStringLiteral("select ") + CopyColumns +
                              QStringLiteral(" from 出租库 where 条形码 = ?"),
                          {barcode});
    if (!rows)
        return Error{rows.error()};
    if (!rows.value().next())
        return std::optional<Copy>();
    return std::optional<Copy>(copyFrom(rows.value()));
}

Result<std::optional<GoodsType>> goodsType(const Db& db, const QString& name) {
    auto rows = db.select(QStringLiteral("select * from 商品类型 where 名称 = ?"), {name});
    if (!rows)
        return Error{rows.error()};
    if (!rows.value().next())
        return std::optional<GoodsType>();
    const Rows& r = rows.value();
    return std::optional<GoodsType>(GoodsType{r.text(QStringLiteral("名称")),
                                              r.money(QStringLiteral("每日租金")),
                                              r.money(QStringLiteral("押金"))});
}

Result<QList<OpenRent>> openRents(const Db& db, const QString& card) {
    return openRentsWhere(db, QStringLiteral("会员卡号 = ?"), {card});
}

Result<QList<OpenRent>> openRentsOf(const Db& db, const QString& barcode, const QString& card) {
    return openRentsWhere(db, QStringLiteral("条形码 = ? and 会员卡号 = ?"), {barcode, card});
}

} // namespace RentalLookup
