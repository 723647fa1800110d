#include "Workload.h"

#include "members/core/MemberBookings.h"
#include "members/core/RechargeBooking.h"
#include "rental/core/RentBooking.h"
#include "rental/core/ReturnBooking.h"
#include "sales/core/RefundBooking.h"
#include "sales/core/SaleBooking.h"
#include "sales/core/SaleCatalogue.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

namespace Workload {

namespace {

const QStringList Cards = {QStringLiteral("M1"), QStringLiteral("M2"), QStringLiteral("M3")};
constexpr int Copies = 8;
constexpr int Items = 3;
const Money ListPrice = Money::fromUnits(125000); // 12.5

QVariant money(Money amount) {
    return QVariant::fromValue(amount);
}

// A card of the busy ones, or the walk-in customer one time in four.
QString someCard(QRandomGenerator& random, bool walkInToo) {
    if (walkInToo && random.bounded(4) == 0)
        return WalkIn;
    return Cards[random.bounded(int(Cards.size()))];
}

Money someAmount(QRandomGenerator& random) {
    // 0.0001 .. 99.9999, so rounding slips show in the sums
    return Money::fromUnits(1 + random.bounded(999999));
}

bool isMember(const QString& card) {
    return card != WalkIn;
}

} // namespace

QString kindName(Kind kind) {
    static const QStringList names = {QStringLiteral("rent"),
                                      QStringLiteral("return"),
                                      QStringLiteral("sale"),
                                      QStringLiteral("refund"),
                                      QStringLiteral("recharge"),
                                      QStringLiteral("registration"),
                                      QStringLiteral("correction"),
                                      QStringLiteral("purchase"),
                                      QStringLiteral("stock-correction")};
    return names[int(kind)];
}

Status prepare(const Db& db) {
    return db.inTransaction([&]() -> Status {
        for (int i = 1; i <= Copies; ++i) {
            auto done = db.exec(QStringLiteral("insert into 出租库(条形码,商品名称,py,定价,状态,"
                                               "借出次数) values(?,?,?,?,'待租',0)"),
                                {QStringLiteral("C%1").arg(i), QStringLiteral("影碟%1").arg(i),
                                 QStringLiteral("yd%1").arg(i), money(ListPrice)});
            if (!done)
                return Error{done.error()};
        }
        for (int i = 1; i <= Items; ++i) {
            auto done = db.exec(QStringLiteral("insert into 销售库(条形码,商品名称,py,定价,库存) "
                                               "values(?,?,?,?,1000000)"),
                                {QStringLiteral("S%1").arg(i), QStringLiteral("图书%1").arg(i),
                                 QStringLiteral("ts%1").arg(i), money(ListPrice)});
            if (!done)
                return Error{done.error()};
        }
        for (const QString& card : Cards) {
            auto done = db.exec(
                QStringLiteral("insert into 会员库(会员卡号,会员姓名,会员类型,"
                               "卡内金额,会员积分,状态) values(?,?,'散客',?,?,"
                               "'正常')"),
                {card, QString(u"会员" + card), money(Money::fromInt(1000)), money(Money())});
            if (!done)
                return Error{done.error()};
        }
        return {};
    });
}

Result<Planned> plan(const Db& db, Kind kind, const QString& tag, QRandomGenerator& random) {
    Planned p;
    Values& d = p.delta;
    switch (kind) {
    case Kind::Rent: {
        auto rows = db.select(QStringLiteral("select 条形码 from 出租库 where 状态 = '待租'"));
        if (!rows)
            return Error{rows.error()};
        QStringList free;
        while (rows.value().next())
            free << rows.value().text(QStringLiteral("条形码"));
        if (free.isEmpty())
            return p;
        RentOrder order;
        order.card = someCard(random, true);
        order.memberName = order.card;
        order.adminName = tag;
        const int lines = 1 + random.bounded(qMin(2, int(free.size())));
        for (int i = 0; i < lines; ++i) {
            const QString barcode = free.takeAt(random.bounded(int(free.size())));
            order.lines << RentLine{barcode,           barcode, barcode, {}, someAmount(random),
                                    someAmount(random)};
            d[u"out:" + barcode] = 1;
        }
        d[QStringLiteral("counter:rent")] = 1;
        d[QStringLiteral("rows:出租记录")] = lines;
        p.book = [&db, order] {
            auto r = bookRent(db, order);
            return r ? Status{} : Status{Error{r.error()}};
        };
        return p;
    }
    case Kind::Return: {
        auto rows = db.select(QStringLiteral(
            "select id, 条形码, 会员卡号 from 出租记录 where 已还 = '否' order by id"));
        if (!rows)
            return Error{rows.error()};
        QList<ReturnLine> open;
        while (rows.value().next())
            open << ReturnLine{rows.value().integer(QStringLiteral("id")),
                               rows.value().text(QStringLiteral("条形码")),
                               {},
                               rows.value().text(QStringLiteral("会员卡号")),
                               {},
                               1,
                               {}};
        if (open.isEmpty())
            return p;
        ReturnLine line = open[random.bounded(int(open.size()))];
        line.rent = someAmount(random);
        line.days = 1 + random.bounded(5);
        ReturnOrder order;
        order.lines << line;
        order.adminName = tag;
        order.payment =
            isMember(line.card) && random.bounded(2) == 0 ? Payment::Card : Payment::Cash;
        d[u"out:" + line.barcode] = -1;
        if (order.payment == Payment::Card)
            d[u"balance:" + line.card] = -line.rent.units();
        else
            d[QStringLiteral("rows:收入记录")] = 1;
        p.book = [&db, order] {
            auto r = bookReturn(db, order);
            return r ? Status{} : Status{Error{r.error()}};
        };
        return p;
    }
    case Kind::Sale: {
        SaleOrder order;
        order.memberCard = someCard(random, true);
        order.memberName = order.memberCard;
        order.paymentMode =
            isMember(order.memberCard) && random.bounded(2) == 0 ? PayFromCard : PayCash;
        order.adminName = tag;
        const int lines = 1 + random.bounded(2);
        Money total;
        for (int i = 0; i < lines; ++i) {
            const int item = 1 + random.bounded(Items);
            const qint64 quantity = 1 + random.bounded(3);
            const Money discount = Money::fromUnits(5000 + random.bounded(5001)); // 0.5 .. 1
            SaleLine line = SalePricing::makeLine(QStringLiteral("S%1").arg(item), {}, ListPrice,
                                                  quantity, discount, item);
            total += line.total;
            order.lines << line;
            d[QStringLiteral("stock:%1").arg(item)] -= quantity;
        }
        d[QStringLiteral("counter:sale")] = 1;
        d[QStringLiteral("rows:销售记录")] = lines;
        if (order.paymentMode == PayCash)
            d[QStringLiteral("rows:收入记录")] = 1;
        if (isMember(order.memberCard)) {
            d[u"points:" + order.memberCard] = total.units();
            if (order.paymentMode == PayFromCard)
                d[u"balance:" + order.memberCard] = -total.units();
        }
        p.book = [&db, order] {
            auto r = bookSale(db, order);
            return r ? Status{} : Status{Error{r.error()}};
        };
        return p;
    }
    case Kind::Refund: {
        auto rows = db.select(QStringLiteral("select * from 销售记录 order by id desc limit 20"));
        if (!rows)
            return Error{rows.error()};
        QList<SaleRecord> sales;
        while (rows.value().next())
            sales << SaleRecord::fromRow(rows.value());
        if (sales.isEmpty())
            return p;
        const SaleRecord sale = sales[random.bounded(int(sales.size()))];
        // a small amount, so the line has it left unless refunded often already
        RefundOrder order{sale.id, 1, Money::fromUnits(1 + random.bounded(10000)), tag};
        d[u"stock:" + sale.itemId] = 1;
        d[QStringLiteral("rows:退货记录")] = 1;
        if (isMember(sale.memberCard)) {
            d[u"points:" + sale.memberCard] = -order.amount.units();
            if (sale.paymentMode == PayFromCard)
                d[u"balance:" + sale.memberCard] = order.amount.units();
        }
        p.book = [&db, order] {
            auto r = bookRefund(db, order);
            return r ? Status{} : Status{Error{r.error()}};
        };
        return p;
    }
    case Kind::Recharge: {
        Recharge recharge{someCard(random, false), {}, someAmount(random), tag, {}};
        if (random.bounded(4) == 0)
            recharge.amount = -recharge.amount;
        d[u"balance:" + recharge.card] = recharge.amount.units();
        d[QStringLiteral("rows:收入记录")] = 1;
        p.book = [&db, recharge, tag] {
            auto r = RechargeBooking::book(db, recharge, tag);
            return r ? Status{} : Status{Error{r.error()}};
        };
        return p;
    }
    case Kind::Registration: {
        NewMember member;
        member.card = tag;
        member.name = tag;
        member.type = WalkIn;
        member.fee = someAmount(random);
        d[QStringLiteral("rows:会员库")] = 1;
        d[QStringLiteral("rows:收入记录")] = 1;
        d[u"balance:" + member.card] = 0;
        p.book = [&db, member, tag] { return MemberBookings::registerMember(db, member, tag); };
        return p;
    }
    case Kind::Correction: {
        const QString card = someCard(random, false);
        auto found = MemberLookup::member(db, card);
        if (!found)
            return Error{found.error()};
        if (!found.value())
            return Error{u"the busy card " + card + u" is gone"};
        const Member asRead = *found.value();
        Member edited = asRead;
        const Money balanceChange = random.bounded(2) ? someAmount(random) : -someAmount(random);
        const Money pointsChange = random.bounded(2) ? someAmount(random) : -someAmount(random);
        edited.balance += balanceChange;
        edited.points += pointsChange;
        d[u"balance:" + card] = balanceChange.units();
        d[u"points:" + card] = pointsChange.units();
        d[QStringLiteral("rows:管理员日志")] = 1;
        p.book = [&db, asRead, edited, tag] {
            return MemberBookings::correct(db, asRead, edited, tag);
        };
        return p;
    }
    case Kind::Purchase: {
        const int item = 1 + random.bounded(Items);
        const qint64 quantity = 1 + random.bounded(5);
        const PurchaseEntry entry{QStringLiteral("10"), QString::number(quantity), {}, {}, {}};
        d[QStringLiteral("stock:%1").arg(item)] = quantity;
        d[QStringLiteral("rows:进货记录")] = 1;
        p.book = [&db, item, entry, tag] {
            auto r = SaleCatalogue::purchase(db, item, entry, tag);
            return r ? Status{} : Status{Error{r.error()}};
        };
        return p;
    }
    case Kind::StockCorrection: {
        const int item = 1 + random.bounded(Items);
        auto found = SaleCatalogue::find(db, item);
        if (!found)
            return Error{found.error()};
        if (!found.value())
            return Error{QStringLiteral("the busy item %1 is gone").arg(item)};
        const SaleItem asRead = *found.value();
        // the correction is the difference to the stock read, whatever
        // other processes book on the item meanwhile
        const qint64 change = random.bounded(2) ? 1 + random.bounded(3) : -1 - random.bounded(3);
        d[QStringLiteral("stock:%1").arg(item)] = change;
        d[QStringLiteral("rows:管理员日志")] = 1;
        p.book = [&db, asRead, change, tag] {
            return SaleCatalogue::correctStock(db, asRead, asRead, asRead.stock + change, tag);
        };
        return p;
    }
    }
    return p;
}

Result<QString> run(const Db& db, const QString& journalPath, qint64 count, quint32 seed,
                    const QString& tag) {
    QFile journal(journalPath);
    if (!journal.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return Error{u"cannot write the journal " + journalPath};
    const auto write = [&](const QString& line) {
        // one write per line: a kill leaves whole lines and at most one cut
        return journal.write((line + u'\n').toUtf8()) >= 0;
    };
    QRandomGenerator random(seed);
    // rent, return, sale, refund, recharge, registration, correction,
    // purchase, stock correction
    const int weights[KindCount] = {18, 18, 18, 9, 9, 5, 13, 5, 5};
    qint64 committed = 0, refused = 0, idle = 0;
    QHash<QString, qint64> failures;
    for (qint64 i = 0; i < count; ++i) {
        int pick = random.bounded(100);
        int k = 0;
        while (pick >= weights[k])
            pick -= weights[k++];
        const Kind kind = Kind(k);
        const QString bookingTag = QStringLiteral("%1-%2").arg(tag).arg(i);
        auto planned = plan(db, kind, bookingTag, random);
        if (!planned)
            return Error{u"planning a " + kindName(kind) + u" failed: " + planned.error()};
        if (!planned.value().book) {
            ++idle;
            continue;
        }
        if (!write(Ledger::intentLine(kindName(kind), planned.value().delta)))
            return Error{QStringLiteral("cannot write the journal")};
        Status booked = planned.value().book();
        if (booked) {
            ++committed;
            write(QStringLiteral("C"));
        } else {
            ++refused;
            // grouped by text, the barcode or card left out
            static const QRegularExpression names(QStringLiteral("\\b[A-Za-z]+[0-9-]+\\b"));
            ++failures[kindName(kind) + u": " +
                       QString(booked.error()).replace(names, QStringLiteral("…"))];
            write(u"R " + booked.error().simplified().left(200));
        }
    }
    QString summary = QStringLiteral("%1: %2 committed, %3 refused, %4 with nothing to do")
                          .arg(tag)
                          .arg(committed)
                          .arg(refused)
                          .arg(idle);
    for (auto it = failures.begin(); it != failures.end(); ++it)
        summary += QStringLiteral("\n  %1 x %2").arg(it.value()).arg(it.key());
    return summary;
}

} // namespace Workload
