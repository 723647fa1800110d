#pragma once

#include "store/Db.h"
#include "store/Money.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

// One copy of the rent catalogue (出租库), one row per physical copy.
struct RentCopy {
    QString barcode;      // 条形码, the key
    QString title;        // 商品名称
    QString goodsType;    // 商品类型
    QString py;           // search code of the title
    Money price;          // 定价
    QString author;       // 作者
    QString place;        // 存放位置
    QString publisher;    // 出版社
    QString supplier;     // 供应商
    QString synopsis;     // 简介
    QString status;       // 状态: "待租", "停租", or the renter's card number
    qint64 timesLent = 0; // 借出次数
    QDate registered;     // 登记日期
    QString registeredBy; // 登记人
    QString medium;       // 介质
    QByteArray picture;   // pic, a BMP stream; empty: no picture
};

// What the add window enters: the texts as typed.
struct NewRentCopy {
    QString barcode;
    QString title; // the search code is made from the title as typed
    QString goodsType;
    QString price; // "0" when the window opens
    QString author;
    QString place;
    QString publisher;
    QString supplier;
    QString synopsis; // kept as typed
    QByteArray picture;
    // A numbered set (volumes of a book, episodes of a series): the count
    // as typed; copies barcode-1 ... barcode-n.
    bool isSet = false;
    QString setCount;
};

namespace RentCatalogue {

inline const QString Available = QStringLiteral("待租");
inline const QString Withdrawn = QStringLiteral("停租");

// The barcodes a new entry gives: the trimmed barcode, or for a set of n
// the trimmed barcode + "-1" ... "-n".
QStringList barcodesOf(const NewRentCopy& entry);

// Adds one copy, or every copy of a set, all or none: "待租", lent 0 times,
// registered today by admin, medium empty. Refused before anything is
// written when a required text is empty ("字体加重的项目必须填写!"), the
// set count is missing or below 2 ("请确保填写册/集的数量并且要大于1 ") or a
// number is malformed. A barcode in use is refused naming it ("条形码 B7-2
// 已存在"), and then no copy of the set is written. Gives the barcodes
// written.
Result<QStringList> addCopies(const Db& db, const NewRentCopy& entry, const QString& admin);

Result<std::optional<RentCopy>> find(const Db& db, const QString& barcode);

// Whether the copy is out on rent: it has an open rent record.
Result<bool> isOut(const Db& db, const QString& barcode);

// Saves the edit window's fields of the copy read as asRead: barcode,
// title, goods type, place, publisher, supplier, price, author, synopsis,
// picture, and the status when it was changed here ("待租" / "停租").
// Refused when the barcode or title is empty ("字体加重的项目必须填写!"), and
// for a barcode another copy has ("条形码 A200 已存在"). A copy out on rent
// keeps its barcode and its status (its open rent record is found by the
// one, and its return sets the other): changing either is refused; a
// status set meanwhile by a counter is kept too, and changing it here is
// then refused. The search code, times lent and registration stay.
Status save(const Db& db, const RentCopy& asRead, const RentCopy& edited);

// The copy's picture (empty: none, or no such copy), read by its key: list
// statements leave pictures out.
Result<QByteArray> picture(const Db& db, const QString& barcode);

// Deletes the copy; its rent records stay, also an open one.
Status remove(const Db& db, const QString& barcode);

// Copies the copy into the sale catalogue (barcode, title, search code,
// goods type, price, stock 1) and writes the log row "出租转销售", together.
// The sale catalogue may already hold the barcode: a second row is added.
Status copyToSale(const Db& db, const QString& barcode, const QString& admin);

} // namespace RentCatalogue
