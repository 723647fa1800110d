#include "catalogue/core/RentCatalogue.h"

#include "store/AdminLog.h"
#include "store/Clock.h"
#include "store/Pinyin.h"
#include "store/TypedNumber.h"
#include "store/UniqueKeys.h"

namespace {

const QString Required = QStringLiteral("字体加重的项目必须填写!");
const QString SetCountTooSmall = QStringLiteral("请确保填写册/集的数量并且要大于1 ");
const QString OutOnRent = QStringLiteral("该商品已出租,不能修改状态!");
const QString Table = QStringLiteral("出租库");
const QString BarcodeColumn = QStringLiteral("条形码");
constexpr int MaxSetCount = 999;
// The most a copy's list price may be, as in the sale catalogue.
const Money MaxPrice = Money::fromInt(100000000);

// The number of copies of a set: 2 to MaxSetCount.
TypedNumber::WholeField setCountField() {
    auto field = TypedNumber::sayingOnly<qint64>(SetCountTooSmall, 2, MaxSetCount);
    field.texts.above = QStringLiteral("册/集的数量不能超过%1!").arg(MaxSetCount);
    return field;
}

QVariant pictureValue(const QByteArray& picture) {
    return picture.isEmpty() ? QVariant(QMetaType(QMetaType::QByteArray)) : QVariant(picture);
}

RentCopy readCopy(const Rows& rows) {
    RentCopy c;
    c.barcode = rows.text(QStringLiteral("条形码"));
    c.title = rows.text(QStringLiteral("商品名称"));
    c.goodsType = rows.text(QStringLiteral("商品类型"));
    c.py = rows.text(QStringLiteral("py"));
    c.price = rows.money(QStringLiteral("定价"));
    c.author = rows.text(QStringLiteral("作者"));
    c.place = rows.text(QStringLiteral("存放位置"));
    c.publisher = rows.text(QStringLiteral("出版社"));
    c.supplier = rows.text(QStringLiteral("供应商"));
    c.synopsis = rows.text(QStringLiteral("简介"));
    c.status = rows.text(QStringLiteral("状态"));
    c.timesLent = rows.integer(QStringLiteral("借出次数"));
    c.registered = rows.date(QStringLiteral("登记日期"));
    c.registeredBy = rows.text(QStringLiteral("登记人"));
    c.medium = rows.text(QStringLiteral("介质"));
    c.picture = rows.bytes(QStringLiteral("pic"));
    return c;
}

Status fail(const Result<qint64>& done) {
    if (!done)
        return Error{done.error()};
    return {};
}

} // namespace

namespace RentCatalogue {

QStringList barcodesOf(const NewRentCopy& entry) {
    const QString barcode = entry.barcode.trimmed();
    if (!entry.isSet)
        return {barcode};
    QStringList result;
    const auto count = TypedNumber::read(entry.setCount, setCountField());
    for (qint64 k = 1; count && k <= count.value(); ++k)
        result << barcode + u'-' + QString::number(k);
    return result;
}

Result<QStringList> addCopies(const Db& db, const NewRentCopy& entry, const QString& admin) {
    if (entry.barcode.trimmed().isEmpty() || entry.title.trimmed().isEmpty() ||
        entry.goodsType.trimmed().isEmpty() || entry.price.trimmed().isEmpty())
        return Error{Required};
    const auto price =
        TypedNumber::read(entry.price, TypedNumber::itemAmount(QStringLiteral("定价"), MaxPrice));
    if (!price)
        return Error{price.error()};
    if (entry.isSet) {
        if (auto count = TypedNumber::read(entry.setCount, setCountField()); !count)
            return Error{count.error()};
    }
    const QStringList barcodes = barcodesOf(entry);
    const QString py = PinyinCode(entry.title);
    Status written = db.inTransaction([&]() -> Status {
        for (const QString& barcode : barcodes) {
            if (Status free =
                    UniqueKeys::refuseTaken(db, Table, BarcodeColumn, barcode, BarcodeColumn);
                !free)
                return free;
            auto done = db.exec(
                QStringLiteral("insert into 出租库(条形码,商品名称,商品类型,py,定价,作者,存放位置,"
                               "出版社,供应商,简介,状态,借出次数,登记日期,登记人,介质,pic) "
                               "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                {barcode, entry.title.trimmed(), entry.goodsType.trimmed(), py,
                 QVariant::fromValue(*price), entry.author.trimmed(), entry.place.trimmed(),
                 entry.publisher.trimmed(), entry.supplier.trimmed(), entry.synopsis, Available, 0,
                 Clock::today(), admin, QString(), pictureValue(entry.picture)});
            if (!done)
                return Error{done.error()};
        }
        return {};
    });
    if (!written) {
        // the first copy in use, also one written meanwhile by another
        // workstation: named, never the engine's text
        for (const QString& barcode : barcodes) {
            auto taken = UniqueKeys::isTaken(db, Table, BarcodeColumn, barcode);
            if (taken && taken.value())
                return Error{UniqueKeys::takenText(BarcodeColumn, barcode)};
        }
        return Error{written.error()};
    }
    return barcodes;
}

Result<std::optional<RentCopy>> find(const Db& db, const QString& barcode) {
    auto rows = db.select(QStringLiteral("select * from 出租库 where 条形码 = ?"), {barcode});
    if (!rows)
        return Error{rows.error()};
    if (!rows.value().next())
        return std::optional<RentCopy>();
    return std::optional<RentCopy>(readCopy(rows.value()));
}

Result<bool> isOut(const Db& db, const QString& barcode) {
    // 已还 written out, so that every plan (also a generic one of a prepared
    // statement) finds the open rent through its index
    auto open = db.scalarInteger(
        QStringLiteral("select count(*) from 出租记录 where 条形码 = ? and 已还 = '否'"),
        {barcode});
    if (!open)
        return Error{open.error()};
    return open.value().value_or(0) > 0;
}

Status save(const Db& db, const RentCopy& asRead, const RentCopy& edited) {
    if (edited.barcode.trimmed().isEmpty() || edited.title.trimmed().isEmpty())
        return Error{Required};
    const bool renamed = edited.barcode != asRead.barcode;
    Status saved = db.inTransaction([&]() -> Status {
        const bool restated = edited.status != asRead.status;
        if (renamed || restated) {
            auto out = isOut(db, asRead.barcode);
            if (!out)
                return Error{out.error()};
            // the open rent record is found by the barcode, and the return
            // sets the status back to "待租": both stay as the rent left them
            if (out.value() && renamed)
                return Error{QStringLiteral("该商品已出租,不能修改条形码!")};
            if (out.value() && restated)
                return Error{OutOnRent};
        }
        if (renamed) {
            if (Status free = UniqueKeys::refuseTaken(db, Table, BarcodeColumn, edited.barcode,
                                                      BarcodeColumn);
                !free)
                return free;
        }
        QString sql = QStringLiteral("update 出租库 set 条形码 = ?, 商品名称 = ?, 商品类型 = ?, "
                                     "存放位置 = ?, 出版社 = ?, 供应商 = ?, 定价 = ?, 作者 = ?, "
                                     "简介 = ?, pic = ?");
        QVariantList params{edited.barcode,
                            edited.title,
                            edited.goodsType,
                            edited.place,
                            edited.publisher,
                            edited.supplier,
                            QVariant::fromValue(edited.price),
                            edited.author,
                            edited.synopsis,
                            pictureValue(edited.picture)};
        if (restated) {
            // withdrawn or released by hand only as last seen: a copy rented
            // or returned at a counter meanwhile keeps what the counter set
            auto now = find(db, asRead.barcode);
            if (!now)
                return Error{now.error()};
            if (now.value() && now.value()->status != asRead.status)
                return Error{
                    QStringLiteral("该商品的状态已变为: %1,请重新编辑!").arg(now.value()->status)};
            sql += QStringLiteral(", 状态 = ?");
            params << edited.status;
        }
        sql += QStringLiteral(" where 条形码 = ?");
        params << asRead.barcode;
        auto done = db.exec(sql, params);
        if (!done)
            return Error{done.error()};
        if (done.value() == 0)
            return Error{QStringLiteral("该商品已被删除!")};
        return {};
    });
    if (!saved && renamed)
        return UniqueKeys::explainFailure(db, saved.error(), Table, BarcodeColumn, edited.barcode,
                                          BarcodeColumn);
    return saved;
}

Result<QByteArray> picture(const Db& db, const QString& barcode) {
    auto rows = db.select(QStringLiteral("select pic from 出租库 where 条形码 = ?"), {barcode});
    if (!rows)
        return Error{rows.error()};
    if (!rows.value().next())
        return QByteArray();
    return rows.value().bytes(QStringLiteral("pic"));
}

Status remove(const Db& db, const QString& barcode) {
    return fail(db.exec(QStringLiteral("delete from 出租库 where 条形码 = ?"), {barcode}));
}

Status copyToSale(const Db& db, const QString& barcode, const QString& admin) {
    return db.inTransaction([&]() -> Status {
        auto copy = find(db, barcode);
        if (!copy)
            return Error{copy.error()};
        if (!copy.value())
            return Error{QStringLiteral("该商品已被删除!")};
        const RentCopy& c = *copy.value();
        auto done =
            db.exec(QStringLiteral("insert into 销售库(条形码,商品名称,py,商品类型,定价,库存) "
                                   "values(?,?,?,?,?,?)"),
                    {c.barcode, c.title, c.py, c.goodsType, QVariant::fromValue(c.price), 1});
        if (!done)
            return Error{done.error()};
        return AdminLog::write(db, QStringLiteral("出租转销售"), admin, c.barcode);
    });
}

} // namespace RentCatalogue
