#include "Workload.h"

#include "members/core/MemberBookings.h"
#include "members/core/RechargeBooking.h"
#include "rental/core/RentBooking.h"
#include "rental/core/ReturnBooking.h"
#include "sales/core/RefundBooking.h"
#include "sales/core/SaleBooking.h"
#include "sales/core/SaleCatalogue.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>
#include <unistd.h>

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

QString count(qint64 n) {
    return QString::number(n);
}

using Ledger::rowKey;
using Ledger::units;

QString incomeRow(const QString& item, Money amount, const QString& card, const QString& tag) {
    return rowKey(QStringLiteral("收入记录"), {item, units(amount), card, tag});
}

// An open rent, or (returned) one settled by returnTag.
QString rentRow(const QString& rentTag, const QString& barcode, Money deposit, Money dailyRent,
                const QString& card, int days = 0, Money rent = {}, const QString& payment = {},
                const QString& returnTag = {}) {
    const bool returned = !returnTag.isEmpty();
    return rowKey(QStringLiteral("出租记录"),
                  {rentTag, barcode, units(deposit), units(dailyRent), card,
                   returned ? QStringLiteral("是") : QStringLiteral("否"),
                   returned ? count(days) : QString(), returned ? units(rent) : QString(), payment,
                   returnTag});
}

QString adminLogRow(const QString& tag, const QString& event, const QString& barcode) {
    return rowKey(QStringLiteral("管理员日志"), {tag, event, u"条形码:" + barcode});
}

// A refusal text of the kind the model knows, or none.
bool says(const QString& refusal, const QString& part) {
    return refusal.contains(part);
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
        // a purchase record names the item's goods type: the items have one
        for (int i = 1; i <= Items; ++i) {
            auto done =
                db.exec(QStringLiteral("insert into 销售库(条形码,商品名称,py,商品类型,定价,库存) "
                                       "values(?,?,?,'普通',?,1000000)"),
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
        auto rows = db.select(QStringLiteral(
            "select 条形码, 借出次数 from 出租库 where 状态 = '待租' order by 条形码"));
        if (!rows)
            return Error{rows.error()};
        QStringList free;
        QHash<QString, qint64> lent; // times each was lent, as seen free
        while (rows.value().next()) {
            free << rows.value().text(QStringLiteral("条形码"));
            lent[free.last()] = rows.value().integer(QStringLiteral("借出次数"));
        }
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
            // the deposit is taken: the line's own
            d[rentRow(tag, barcode, order.lines.last().deposit, order.lines.last().dailyRent,
                      order.card)] = 1;
        }
        d[QStringLiteral("counter:rent")] = 1;
        d[QStringLiteral("rows:出租记录")] = lines;
        p.book = [&db, order] {
            auto r = bookRent(db, order);
            return r ? Status{} : Status{Error{r.error()}};
        };
        // refused for a copy: only if some other booking rented it since
        p.judge = [&db, order, lent](const QString& refusal) -> QString {
            for (const RentLine& line : order.lines) {
                if (!says(refusal, u"条形码为 " + line.barcode + u" 的商品已不是待租状态"))
                    continue;
                auto now = db.scalarInteger(
                    QStringLiteral("select 借出次数 from 出租库 where 条形码 = ?"), {line.barcode});
                if (!now)
                    return u"cannot judge: " + now.error();
                if (now.value().value_or(0) > lent.value(line.barcode))
                    return {};
                return u"copy " + line.barcode + u" was not rented since it was seen free";
            }
            return QStringLiteral("a rent of free copies has no other reason to be refused");
        };
        return p;
    }
    case Kind::Return: {
        auto rows = db.select(
            QStringLiteral("select id, 条形码, 会员卡号, 押金, 每日租金, 出租经手人 from 出租记录 "
                           "where 已还 = '否' order by id"));
        if (!rows)
            return Error{rows.error()};
        struct Open {
            ReturnLine line;
            Money deposit, dailyRent;
            QString rentTag;
        };
        QList<Open> open;
        while (rows.value().next())
            open << Open{ReturnLine{rows.value().integer(QStringLiteral("id")),
                                    rows.value().text(QStringLiteral("条形码")),
                                    {},
                                    rows.value().text(QStringLiteral("会员卡号")),
                                    {},
                                    1,
                                    {}},
                         rows.value().money(QStringLiteral("押金")),
                         rows.value().money(QStringLiteral("每日租金")),
                         rows.value().text(QStringLiteral("出租经手人"))};
        if (open.isEmpty())
            return p;
        const Open rented = open[random.bounded(int(open.size()))];
        ReturnLine line = rented.line;
        line.rent = someAmount(random);
        line.days = 1 + random.bounded(5);
        ReturnOrder order;
        order.lines << line;
        order.adminName = tag;
        order.payment =
            isMember(line.card) && random.bounded(2) == 0 ? Payment::Card : Payment::Cash;
        d[u"out:" + line.barcode] = -1;
        const QString payment = order.payment == Payment::Card ? PayFromCard : PayCash;
        d[rentRow(rented.rentTag, line.barcode, rented.deposit, rented.dailyRent, line.card)] = -1;
        d[rentRow(rented.rentTag, line.barcode, rented.deposit, rented.dailyRent, line.card,
                  line.days, line.rent, payment, tag)] = 1;
        if (order.payment == Payment::Card) {
            d[u"balance:" + line.card] = -line.rent.units();
        } else {
            d[QStringLiteral("rows:收入记录")] = 1;
            d[incomeRow(QStringLiteral("租金"), line.rent, line.card, tag)] = 1;
        }
        p.book = [&db, order] {
            auto r = bookReturn(db, order);
            return r ? Status{} : Status{Error{r.error()}};
        };
        // refused as returned already: only if some other booking returned it
        p.judge = [&db, line, tag](const QString& refusal) -> QString {
            if (!says(refusal, u"条形码为 " + line.barcode + u" 的商品已经归还过了"))
                return QStringLiteral("a return of an open rent has no other reason to be "
                                      "refused");
            auto rows =
                db.select(QStringLiteral("select 已还, 归还经手人 from 出租记录 where id = ?"),
                          {line.rentId});
            if (!rows)
                return u"cannot judge: " + rows.error();
            if (rows.value().next() && rows.value().text(QStringLiteral("已还")) == u"是" &&
                rows.value().text(QStringLiteral("归还经手人")) != tag)
                return {};
            return QStringLiteral("rent record %1 was not returned by another booking")
                .arg(line.rentId);
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
            d[rowKey(QStringLiteral("销售记录"),
                     {tag, line.barcode, count(item), units(ListPrice), units(line.unitPrice),
                      count(quantity), units(discount), units(line.total), order.memberCard,
                      order.paymentMode})] += 1;
        }
        d[QStringLiteral("counter:sale")] = 1;
        d[QStringLiteral("rows:销售记录")] = lines;
        if (order.paymentMode == PayCash) {
            // one income row for the whole sale: the sum of its lines
            d[QStringLiteral("rows:收入记录")] = 1;
            d[incomeRow(QStringLiteral("商品销售"), total, order.memberCard, tag)] = 1;
        }
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
        RefundOrder order{sale.id, 1, Money::fromUnits(1 + random.bounded(10000)), tag, {}};
        const QString method = sale.paymentMode == PayFromCard ? RefundToCard : RefundCash;
        d[u"stock:" + sale.itemId] = 1;
        d[QStringLiteral("rows:退货记录")] = 1;
        d[rowKey(QStringLiteral("退货记录"),
                 {tag, count(sale.id), sale.itemId, sale.barcode, count(order.quantity),
                  units(order.amount), sale.memberCard, method})] = 1;
        if (isMember(sale.memberCard)) {
            d[u"points:" + sale.memberCard] = -order.amount.units();
            if (sale.paymentMode == PayFromCard)
                d[u"balance:" + sale.memberCard] = order.amount.units();
        }
        p.book = [&db, order] {
            auto r = bookRefund(db, order);
            return r ? Status{} : Status{Error{r.error()}};
        };
        // refused as more than is left: only if the refunds so far leave less
        p.judge = [&db, order, sale](const QString& refusal) -> QString {
            if (!says(refusal, QStringLiteral("该销售记录最多还能退")))
                return QStringLiteral("a refund has no other reason to be refused");
            auto rows = db.select(
                QStringLiteral("select COALESCE(sum(数量), 0) as n, COALESCE(sum(退还金额), 0) "
                               "as m from 退货记录 where 销售记录id = ?"),
                {sale.id});
            if (!rows)
                return u"cannot judge: " + rows.error();
            rows.value().next();
            const qint64 quantityLeft = sale.quantity - rows.value().integer(QStringLiteral("n"));
            const Money amountLeft = sale.total - rows.value().money(QStringLiteral("m"));
            if (quantityLeft < order.quantity || amountLeft < order.amount)
                return {};
            return QStringLiteral("sale record %1 has %2 and %3 left to refund")
                .arg(sale.id)
                .arg(quantityLeft)
                .arg(amountLeft.toString());
        };
        return p;
    }
    case Kind::Recharge: {
        Recharge recharge{someCard(random, false), {}, someAmount(random), tag, {}, {}};
        if (random.bounded(4) == 0)
            recharge.amount = -recharge.amount;
        d[u"balance:" + recharge.card] = recharge.amount.units();
        d[QStringLiteral("rows:收入记录")] = 1;
        d[incomeRow(QStringLiteral("充值"), recharge.amount, recharge.card, tag)] = 1;
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
        d[incomeRow(QStringLiteral("开户费"), member.fee, member.card, tag)] = 1;
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
        d[adminLogRow(tag, QStringLiteral("修改会员卡内金额和积分"), card)] = 1;
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
        // no discount typed: 10 of a list price of 12.5 is 0.8
        d[rowKey(QStringLiteral("进货记录"),
                 {tag, QStringLiteral("S%1").arg(item), units(ListPrice), units(Money::fromInt(10)),
                  count(quantity), units(Money::fromUnits(8000)),
                  units(Money::fromInt(10 * quantity))})] = 1;
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
        d[adminLogRow(tag, QStringLiteral("修改库存"), asRead.barcode)] = 1;
        p.book = [&db, asRead, change, tag] {
            return SaleCatalogue::correctStock(db, asRead, asRead, asRead.stock + change, tag);
        };
        return p;
    }
    }
    return p;
}

QString outcomeLine(const Planned& planned, const QString& refusal) {
    const QString text = refusal.simplified().left(300);
    // the booking-key look-up could not answer: whole or not at all
    if (refusal.contains(QStringLiteral("结果未知")))
        return u"U " + text;
    // the server went away: allowed only where the harness took it away,
    // and then the booking must not be there
    if (refusal.contains(QStringLiteral("连接")))
        return u"L " + text;
    const QString why = (planned.judge ? planned.judge(refusal)
                                       : QStringLiteral("the model has no reason for a refusal"))
                            .simplified();
    if (why.isEmpty())
        return u"R " + text;
    // the judge could not read: the server went away after the refusal
    if (why.startsWith(u"cannot judge"))
        return u"L " + why + u": " + text;
    return u"X " + why + u": " + text;
}

namespace {

// Stops the process when one booking takes longer than the limit: a stall
// is a failure, not a hung run. The journal gets an "S" line.
class Watchdog {
public:
    Watchdog(int seconds, int journalFd) : m_limitMs(qint64(seconds) * 1000), m_fd(journalFd) {
        m_clock.start();
        m_thread = std::thread([this] { watch(); });
    }
    ~Watchdog() {
        m_quit = true;
        m_thread.join();
    }
    void start(const QString& what) {
        {
            std::lock_guard lock(m_mutex);
            m_what = what.toUtf8();
        }
        m_startedAt = m_clock.elapsed();
    }
    void stop() { m_startedAt = -1; }

private:
    void watch() {
        while (!m_quit) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const qint64 started = m_startedAt;
            if (started < 0 || m_clock.elapsed() - started <= m_limitMs)
                continue;
            QByteArray line;
            {
                std::lock_guard lock(m_mutex);
                line = "S " + m_what + " took more than " + QByteArray::number(m_limitMs / 1000) +
                       " s\n";
            }
            (void)!::write(m_fd, line.constData(), size_t(line.size()));
            (void)!::write(2, line.constData(), size_t(line.size()));
            ::_exit(3);
        }
    }

    const qint64 m_limitMs;
    const int m_fd;
    QElapsedTimer m_clock;
    std::atomic<qint64> m_startedAt{-1};
    std::atomic<bool> m_quit{false};
    std::mutex m_mutex;
    QByteArray m_what;
    std::thread m_thread;
};

} // namespace

Result<QString> run(const Db& db, const QString& journalPath, const RunOptions& options) {
    QFile journal(journalPath);
    if (!journal.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return Error{u"cannot write the journal " + journalPath};
    const auto write = [&](const QString& line) {
        // one write per line: a kill leaves whole lines and at most one cut
        return journal.write((line + u'\n').toUtf8()) >= 0;
    };
    Watchdog watchdog(options.bookingLimitSeconds, journal.handle());
    QRandomGenerator random(options.seed);
    // rent, return, sale, refund, recharge, registration, correction,
    // purchase, stock correction
    const int weights[KindCount] = {18, 18, 18, 9, 9, 5, 13, 5, 5};
    qint64 committed = 0, refused = 0, idle = 0;
    QString plant = options.plant;
    QHash<QString, qint64> failures;
    for (qint64 i = 0; i < options.count; ++i) {
        int pick = random.bounded(100);
        int k = 0;
        while (pick >= weights[k])
            pick -= weights[k++];
        const Kind kind = Kind(k);
        const QString bookingTag = QStringLiteral("%1-%2").arg(options.tag).arg(i);
        watchdog.start(kindName(kind) + u' ' + bookingTag);
        auto planned = plan(db, kind, bookingTag, random);
        if (!planned)
            return Error{u"planning a " + kindName(kind) + u" failed: " + planned.error()};
        if (!planned.value().book) {
            watchdog.stop();
            ++idle;
            continue;
        }
        if (plant == u"wrong-amount" && kind == Kind::Sale &&
            planned.value().delta.value(QStringLiteral("rows:销售记录")) > 1 &&
            planned.value().delta.contains(QStringLiteral("rows:收入记录"))) {
            // the income row of a cash sale carries its first line only
            planned.value().book = [&db, bookingTag, book = planned.value().book] {
                if (Status s = book(); !s)
                    return s;
                auto done = db.exec(
                    QStringLiteral("update 收入记录 set 金额 = (select 合计 from 销售记录 where "
                                   "管理员 = ? order by id limit 1) where 管理员 = ?"),
                    {bookingTag, bookingTag});
                return done ? Status{} : Status{Error{done.error()}};
            };
            std::printf("planted wrong-amount in %s\n", qPrintable(bookingTag));
            std::fflush(stdout);
            plant.clear();
        } else if (plant == u"refuse-valid" && kind == Kind::Rent) {
            // a rent refused as if its first copy were out, nothing booked
            QString barcode;
            for (auto it = planned.value().delta.begin(); barcode.isEmpty(); ++it)
                if (it.key().startsWith(u"out:"))
                    barcode = it.key().mid(4);
            planned.value().book = [barcode] {
                return Status{Error{QStringLiteral("条形码为 %1 的商品已不是待租状态(已被租出、停租"
                                                   "或删除),本单没有出租任何商品.")
                                        .arg(barcode)}};
            };
            std::printf("planted refuse-valid in %s\n", qPrintable(bookingTag));
            std::fflush(stdout);
            plant.clear();
        }
        if (!write(Ledger::intentLine(kindName(kind), planned.value().delta)))
            return Error{QStringLiteral("cannot write the journal")};
        Status booked = planned.value().book();
        if (booked) {
            watchdog.stop();
            ++committed;
            write(QStringLiteral("C"));
            continue;
        }
        ++refused;
        // grouped by text, the barcode, card and figures left out
        static const QRegularExpression names(
            QStringLiteral("\\b[A-Za-z]+[0-9-]+\\b|-?[0-9]+(\\.[0-9]+)?"));
        ++failures[kindName(kind) + u": " +
                   QString(booked.error()).replace(names, QStringLiteral("…"))];
        const QString outcome = outcomeLine(planned.value(), booked.error());
        watchdog.stop();
        write(outcome[0] == u'X'
                  ? QStringLiteral("X %1 %2: %3").arg(kindName(kind), bookingTag, outcome.mid(2))
                  : outcome);
        if (outcome[0] == u'U')
            break; // its outcome stays open: no booking may follow it
    }
    QString summary = QStringLiteral("%1: %2 committed, %3 refused, %4 with nothing to do")
                          .arg(options.tag)
                          .arg(committed)
                          .arg(refused)
                          .arg(idle);
    for (auto it = failures.begin(); it != failures.end(); ++it)
        summary += QStringLiteral("\n  %1 x %2").arg(it.value()).arg(it.key());
    return summary;
}

} // namespace Workload
