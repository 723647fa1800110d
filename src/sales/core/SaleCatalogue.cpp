#include "sales/core/SaleCatalogue.h"

#include "sales/core/PurchasePricing.h"
#include "store/AdminLog.h"
#include "store/Clock.h"
#include "store/Pinyin.h"
#include "store/UniqueKeys.h"

namespace {

const QString Deleted = QStringLiteral("该商品已被删除!");
const QString Required = QStringLiteral("字体加重的项目必须填写!");

QVariant money(Money amount) {
    return QVariant::fromValue(amount);
}

SaleItem readItem(const Rows& rows) {
    SaleItem i;
    i.id = rows.integer(QStringLiteral("商品id"));
    i.barcode = rows.text(QStringLiteral("条形码"));
    i.name = rows.text(QStringLiteral("商品名称"));
    i.py = rows.text(QStringLiteral("py"));
    i.goodsType = rows.text(QStringLiteral("商品类型"));
    i.price = rows.money(QStringLiteral("定价"));
    i.place = rows.text(QStringLiteral("存放位置"));
    i.publisher = rows.text(QStringLiteral("出版社"));
    i.author = rows.text(QStringLiteral("作者"));
    i.medium = rows.text(QStringLiteral("介质"));
    i.synopsis = rows.text(QStringLiteral("简介"));
    i.stock = rows.integer(QStringLiteral("库存"));
    return i;
}

Result<std::optional<SaleItem>> first(const Db& db, const QString& sql, const QVariant& key) {
    auto rows = db.select(sql, {key});
    if (!rows)
        return Error{rows.error()};
    if (!rows.value().next())
        return std::optional<SaleItem>();
    return std::optional<SaleItem>(readItem(rows.value()));
}

// The purchase's figures, read and checked before anything is written.
struct Figures {
    Money unitPrice;
    qint64 quantity = 0;
    Money discount;
    Money total;
};

Result<Figures> figuresOf(const PurchaseEntry& entry, Money listPrice) {
    auto unit = PurchasePricing::readAmount(entry.unitPrice, QStringLiteral("进货单价"));
    if (!unit)
        return Error{unit.error()};
    auto quantity = PurchasePricing::readQuantity(entry.quantity, QStringLiteral("进货数量"));
    if (!quantity)
        return Error{quantity.error()};
    // an empty discount: what the two prices give, 0 when the list price is 0
    const Money computed = PurchasePricing::discount(unit.value(), listPrice).value_or(Money());
    auto discount = PurchasePricing::readAmount(entry.discount, QStringLiteral("折扣"), computed);
    if (!discount)
        return Error{discount.error()};
    return Figures{unit.value(), quantity.value(), discount.value(),
                   PurchasePricing::total(quantity.value(), unit.value())};
}

Status writeRecord(const Db& db, const QString& barcode, const QString& name,
                   const QString& goodsType, Money listPrice, const Figures& f,
                   const PurchaseEntry& entry, const QString& admin) {
    auto done = db.exec(
        QStringLiteral("insert into 进货记录(条形码,商品名称,商品类型,定价,进货单价,"
                       "进货数量,折扣,总金额,进货日期,供应商,管理员,说明) "
                       "values(?,?,?,?,?,?,?,?,?,?,?,?)"),
        {barcode.trimmed(), name, goodsType, money(listPrice), money(f.unitPrice), f.quantity,
         money(f.discount), money(f.total), Clock::now(), entry.supplier, admin, entry.remark});
    if (!done)
        return Error{done.error()};
    return {};
}

Status updateFields(const Db& db, const SaleItem& asRead, const SaleItem& edited) {
    if (edited.barcode.trimmed().isEmpty() || edited.name.trimmed().isEmpty())
        return Error{Required};
    auto done =
        db.exec(QStringLiteral("update 销售库 set 条形码 = ?, 商品名称 = ?, 商品类型 = ?, "
                               "定价 = ?, 存放位置 = ?, 出版社 = ?, 作者 = ?, 介质 = ?, "
                               "简介 = ? where 商品id = ?"),
                {edited.barcode, edited.name, edited.goodsType, money(edited.price), edited.place,
                 edited.publisher, edited.author, edited.medium, edited.synopsis, asRead.id});
    if (!done)
        return Error{done.error()};
    if (done.value() == 0)
        return Error{Deleted};
    return {};
}

} // namespace

namespace SaleCatalogue {

Result<std::optional<SaleItem>> find(const Db& db, qint64 id) {
    return first(db, QStringLiteral("select * from 销售库 where 商品id = ?"), id);
}

Result<std::optional<SaleItem>> findByBarcode(const Db& db, const QString& barcode) {
    return first(db, QStringLiteral("select * from 销售库 where 条形码 = ? order by 商品id"),
                 barcode);
}

Result<qint64> addItem(const Db& db, const NewSaleItem& item, const QString& admin) {
    if (item.barcode.trimmed().isEmpty() || item.name.trimmed().isEmpty() ||
        item.goodsType.trimmed().isEmpty() || item.price.trimmed().isEmpty() ||
        item.purchase.unitPrice.trimmed().isEmpty() || item.purchase.quantity.trimmed().isEmpty())
        return Error{Required};
    auto price = PurchasePricing::readAmount(item.price, QStringLiteral("定价"));
    if (!price)
        return Error{price.error()};
    auto figures = figuresOf(item.purchase, price.value());
    if (!figures)
        return Error{figures.error()};
    qint64 id = 0;
    Status written = db.inTransaction([&]() -> Status {
        auto added = db.insert(
            QStringLiteral("insert into 销售库(条形码,商品名称,商品类型,py,定价,存放位置,出版社,"
                           "作者,介质,简介,库存) values(?,?,?,?,?,?,?,?,?,?,?)"),
            {item.barcode.trimmed(), item.name.trimmed(), item.goodsType.trimmed(),
             PinyinCode(item.name), money(price.value()), item.place.trimmed(),
             item.publisher.trimmed(), item.author.trimmed(), item.medium.trimmed(), item.synopsis,
             figures.value().quantity},
            QStringLiteral("商品id"));
        if (!added)
            return Error{added.error()};
        id = added.value();
        return writeRecord(db, item.barcode, item.name, item.goodsType, price.value(),
                           figures.value(), item.purchase, admin);
    });
    if (!written)
        return Error{written.error()};
    return id;
}

Result<qint64> purchase(const Db& db, qint64 id, const PurchaseEntry& entry, const QString& admin) {
    if (entry.unitPrice.trimmed().isEmpty() || entry.quantity.trimmed().isEmpty())
        return Error{Required};
    qint64 stock = 0;
    Status written = db.inTransaction([&]() -> Status {
        auto found = find(db, id);
        if (!found)
            return Error{found.error()};
        if (!found.value())
            return Error{Deleted};
        const SaleItem& item = *found.value();
        // the purchase record names the item: an item without barcode, name
        // or goods type is completed in the edit window first
        if (item.barcode.trimmed().isEmpty() || item.name.trimmed().isEmpty() ||
            item.goodsType.trimmed().isEmpty())
            return Error{Required};
        auto figures = figuresOf(entry, item.price);
        if (!figures)
            return Error{figures.error()};
        auto raised = db.addTo(QStringLiteral("销售库"), QStringLiteral("库存"),
                               figures.value().quantity, QStringLiteral("商品id"), id);
        if (!raised)
            return Error{raised.error()};
        if (Status s = writeRecord(db, item.barcode, item.name, item.goodsType, item.price,
                                   figures.value(), entry, admin);
            !s)
            return s;
        auto now =
            db.scalarInteger(QStringLiteral("select 库存 from 销售库 where 商品id = ?"), {id});
        if (!now)
            return Error{now.error()};
        stock = now.value().value_or(0);
        return {};
    });
    if (!written)
        return Error{written.error()};
    return stock;
}

Status save(const Db& db, const SaleItem& asRead, const SaleItem& edited) {
    return db.inTransaction([&]() { return updateFields(db, asRead, edited); });
}

Status correctStock(const Db& db, const SaleItem& asRead, const SaleItem& edited, qint64 newStock,
                    const QString& admin) {
    return db.inTransaction([&]() -> Status {
        if (Status s = updateFields(db, asRead, edited); !s)
            return s;
        if (newStock != asRead.stock) {
            auto done = db.addTo(QStringLiteral("销售库"), QStringLiteral("库存"),
                                 newStock - asRead.stock, QStringLiteral("商品id"), asRead.id);
            if (!done)
                return Error{done.error()};
        }
        return AdminLog::write(db, QStringLiteral("修改库存"), admin, edited.barcode);
    });
}

Status remove(const Db& db, qint64 id) {
    auto done = db.exec(QStringLiteral("delete from 销售库 where 商品id = ?"), {id});
    if (!done)
        return Error{done.error()};
    return {};
}

Status copyToRent(const Db& db, qint64 id, const QString& admin) {
    const QString rent = QStringLiteral("出租库");
    const QString barcodeColumn = QStringLiteral("条形码");
    auto inRent = [&](const QString& barcode) -> QString {
        return rent + QStringLiteral("中") + UniqueKeys::takenText(barcodeColumn, barcode);
    };
    QString barcode;
    Status copied = db.inTransaction([&]() -> Status {
        auto found = find(db, id);
        if (!found)
            return Error{found.error()};
        if (!found.value())
            return Error{Deleted};
        const SaleItem& item = *found.value();
        barcode = item.barcode;
        auto taken = UniqueKeys::isTaken(db, rent, barcodeColumn, item.barcode);
        if (!taken)
            return Error{taken.error()};
        if (taken.value())
            return Error{inRent(item.barcode)};
        auto done = db.exec(QStringLiteral("insert into 出租库(条形码,商品名称,py,商品类型,定价,"
                                           "状态,借出次数) values(?,?,?,?,?,?,?)"),
                            {item.barcode, item.name, item.py, item.goodsType, money(item.price),
                             QStringLiteral("待租"), 0});
        if (!done)
            return Error{done.error()};
        return AdminLog::write(db, QStringLiteral("销售转出租"), admin, item.barcode);
    });
    if (!copied && !barcode.isEmpty()) {
        // copied meanwhile from another workstation: said as above
        auto taken = UniqueKeys::isTaken(db, rent, barcodeColumn, barcode);
        if (taken && taken.value())
            return Error{inRent(barcode)};
    }
    return copied;
}

} // namespace SaleCatalogue
