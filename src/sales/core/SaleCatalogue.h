#pragma once

#include "store/Db.h"
#include "store/Money.h"

#include <QString>
#include <optional>

// One item of the sale catalogue (销售库), with its stock.
struct SaleItem {
    qint64 id = 0;     // 商品id
    QString barcode;   // 条形码, not unique
    QString name;      // 商品名称
    QString py;        // search code of the name, made when the item was added
    QString goodsType; // 商品类型
    Money price;       // 定价 (list price)
    QString place;     // 存放位置
    QString publisher; // 出版社
    QString author;    // 作者
    QString medium;    // 介质
    QString synopsis;  // 简介
    qint64 stock = 0;  // 库存
};

// A purchase as the boxes of the add or purchase window hold it (texts as
// typed). The total is worked out from quantity and unit price; an empty
// discount is stored as unit price ÷ list price, or 0 for a list price of 0.
struct PurchaseEntry {
    QString unitPrice; // 进货单价, required
    QString quantity;  // 进货数量, required
    QString discount;  // 折扣
    QString supplier;  // 供应商, as typed
    QString remark;    // 说明, as typed
};

// What the add window enters besides the purchase.
struct NewSaleItem {
    QString barcode;
    QString name; // the search code is made from the name as typed
    QString goodsType;
    QString price;
    QString place;
    QString author;
    QString publisher;
    QString medium;
    QString synopsis; // as typed; also the purchase record's remark
    PurchaseEntry purchase;
};

namespace SaleCatalogue {

Result<std::optional<SaleItem>> find(const Db& db, qint64 id);
// The first item (lowest 商品id) with this barcode, for copying its details.
Result<std::optional<SaleItem>> findByBarcode(const Db& db, const QString& barcode);

// Adds the item with the quantity bought as its stock and writes its first
// purchase record (进货记录), together. Refused before anything is written
// when a required box is empty ("字体加重的项目必须填写!") or a number is
// malformed. Gives the new 商品id.
Result<qint64> addItem(const Db& db, const NewSaleItem& item, const QString& admin);

// Books a purchase of the item: stock raised by the quantity and the
// purchase record written, together. The list price stays. Refused
// ("字体加重的项目必须填写!") when the item lacks a barcode, name or goods
// type, or the entry a unit price or quantity. Gives the new stock.
Result<qint64> purchase(const Db& db, qint64 id, const PurchaseEntry& entry, const QString& admin);

// Saves the edit window's fields of the item read as asRead: barcode, name,
// goods type, list price, place, publisher, author, medium, description.
// The search code and the stock stay. An empty barcode or name is refused
// ("字体加重的项目必须填写!").
Status save(const Db& db, const SaleItem& asRead, const SaleItem& edited);

// The same save with the stock corrected to newStock and the log row
// "修改库存". The correction is applied as the difference to the stock read,
// so a sale booked meanwhile on another workstation is kept.
Status correctStock(const Db& db, const SaleItem& asRead, const SaleItem& edited, qint64 newStock,
                    const QString& admin);

// Deletes the item; the records naming it stay.
Status remove(const Db& db, qint64 id);

// Copies the item into the rent catalogue ("待租", lent 0 times) and writes
// the log row "销售转出租", together. The sale row keeps its stock. A
// barcode already in the rent catalogue is refused, naming it
// ("出租库中条形码 9787 已存在"), and nothing is written.
Status copyToRent(const Db& db, qint64 id, const QString& admin);

} // namespace SaleCatalogue
