#include "store/LargeSample.h"

#include "store/Clock.h"
#include "store/Pinyin.h"
#include "store/SampleData.h"

#include <QRandomGenerator>

namespace {

// Rows of one table, sent as multi-row inserts of a fixed size (so the
// statement text repeats and stays prepared).
class BatchInsert {
public:
    BatchInsert(const Db& db, const QString& table, const QStringList& columns)
        : m_db(db), m_table(table), m_columns(columns),
          m_perStatement(qMax(1, qMin(400, 30000 / int(columns.size())))) {}

    Status add(QVariantList row) {
        m_pending += std::move(row);
        if (m_pending.size() >= m_perStatement * m_columns.size())
            return flush();
        return {};
    }
    Status flush() {
        const int rows = int(m_pending.size() / m_columns.size());
        if (rows == 0)
            return {};
        QStringList marks(m_columns.size(), QStringLiteral("?"));
        const QString one = u'(' + marks.join(u',') + u')';
        QStringList all(rows, one);
        auto done = m_db.exec(QStringLiteral("insert into %1(%2) values %3")
                                  .arg(Db::quoted(m_table), m_columns.join(u','), all.join(u',')),
                              m_pending);
        m_pending.clear();
        if (!done)
            return Error{done.error()};
        return {};
    }

private:
    const Db& m_db;
    QString m_table;
    QStringList m_columns;
    int m_perStatement;
    QVariantList m_pending;
};

const char* const Adjectives[] = {"红色", "遥远", "寂静", "春天", "江南", "大漠", "星空",
                                  "午夜", "海边", "古城", "长安", "青春", "平凡", "温暖",
                                  "秘密", "最后", "美丽", "孤独", "漫长", "无声"};
const char* const Nouns[] = {"故事", "旅程", "传说", "世界", "记忆", "花园", "河流",
                             "战争", "少年", "人生", "王朝", "密码", "侦探", "英雄",
                             "风云", "岁月", "家园", "列车", "诗篇", "剑客"};
const char* const Surnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵",
                                "吴", "周", "徐", "孙", "马", "朱", "胡", "郭"};
const char* const Given[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊",   "军", "洋",
                             "勇", "艳", "杰", "娟", "涛", "明", "超", "秀英", "华", "平"};

struct Title {
    QString name;
    QString py;
};

// Titles "江南故事 3" with their search codes, worked out once.
QList<Title> titles() {
    QList<Title> list;
    for (const char* adjective : Adjectives)
        for (const char* noun : Nouns)
            for (int volume = 1; volume <= 9; ++volume) {
                const QString name = QString::fromUtf8(adjective) + QString::fromUtf8(noun) +
                                     (volume > 1 ? QString::number(volume) : QString());
                list << Title{name, PinyinCode(name)};
            }
    return list;
}

QVariant amount(qint64 units) {
    return QVariant::fromValue(Money::fromUnits(units));
}

// A run of rows in transactions of a bounded size.
Status inChunks(const Db& db, qint64 total, const QString& table,
                const std::function<void(const QString&, qint64)>& progress,
                const std::function<Status(qint64 from, qint64 to)>& write) {
    constexpr qint64 Chunk = 100000;
    for (qint64 from = 0; from < total; from += Chunk) {
        const qint64 to = qMin(total, from + Chunk);
        if (Status s = db.inTransaction([&] { return write(from, to); }); !s)
            return s;
        if (progress)
            progress(table, to);
    }
    return {};
}

} // namespace

namespace LargeSample {

Sizes sizesAt(double scale) {
    auto n = [scale](double full) { return qMax<qint64>(1, qint64(full * scale)); };
    return {n(1e6), n(2e5), n(1e6), n(1e7), n(5e6), n(5e6), n(5e4), n(2e5), n(5e4), n(1e5)};
}

QString copyBarcode(qint64 n) {
    return QStringLiteral("R%1").arg(n + 1, 7, 10, QLatin1Char('0'));
}
QString itemBarcode(qint64 n) {
    return QStringLiteral("S%1").arg(n + 1, 7, 10, QLatin1Char('0'));
}
QString memberCard(qint64 n) {
    return QStringLiteral("%1").arg(20000001 + n);
}

Status fill(const Db& db, double scale,
            const std::function<void(const QString&, qint64)>& progress) {
    if (!(scale > 0) || scale > 10)
        return Error{QStringLiteral("规模应在 0 到 10 之间")};
    if (Status s = SampleData::fill(db); !s)
        return s;
    const Sizes size = sizesAt(scale);
    const QList<Title> names = titles();
    QRandomGenerator random(20261209);
    const QDateTime now = Clock::now();
    const QDateTime start = now.addYears(-5);
    const qint64 span = start.secsTo(now);
    const QString admin = QStringLiteral("超级管理员");
    const QStringList memberTypes = {QStringLiteral("普通会员"), QStringLiteral("银卡会员"),
                                     QStringLiteral("金卡会员")};
    const QStringList goodsTypes = {QStringLiteral("普通"), QStringLiteral("新片"),
                                    QStringLiteral("精装书")};
    // the moment of the k-th of n rows spread evenly over five years
    auto momentOf = [&](qint64 k, qint64 n) {
        return Clock::formatDateTime(
            start.addSecs(span * k / qMax<qint64>(1, n) + random.bounded(3600)));
    };
    auto personName = [&](qint64 n) -> QString {
        return QString::fromUtf8(Surnames[n % 16]) + QString::fromUtf8(Given[(n / 16) % 20]);
    };
    // about one copy in twelve is out on rent, to the member of its number
    auto isOut = [](qint64 copy) { return copy % 12 == 5; };
    auto renterOf = [&](qint64 copy) { return copy % size.members; };

    Status s =
        inChunks(db, size.members, QStringLiteral("会员库"), progress, [&](qint64 a, qint64 b) {
            BatchInsert rows(db, QStringLiteral("会员库"),
                             {"会员卡号", "会员姓名", "会员类型", "会员性别", "卡内金额",
                              "会员积分", "登记日期", "联系方式", "状态", "登记人", "有效期"});
            for (qint64 i = a; i < b; ++i) {
                const QString registered = momentOf(i, size.members);
                if (Status s = rows.add(
                        {memberCard(i), personName(i), memberTypes[i % 3],
                         i % 2 ? QStringLiteral("女") : QStringLiteral("男"),
                         amount(random.bounded(5000) * 1000),
                         amount(random.bounded(900) * Money::Scale), registered.left(10),
                         QStringLiteral("138%1").arg(i % 100000000, 8, 10, QLatin1Char('0')),
                         QStringLiteral("正常"), admin,
                         Clock::formatDateTime(now.addDays(365 + i % 700))});
                    !s)
                    return s;
            }
            return rows.flush();
        });
    if (!s)
        return s;

    s = inChunks(db, size.copies, QStringLiteral("出租库"), progress, [&](qint64 a, qint64 b) {
        BatchInsert rows(db, QStringLiteral("出租库"),
                         {"条形码", "商品名称", "商品类型", "py", "定价", "作者", "存放位置",
                          "出版社", "供应商", "状态", "借出次数", "登记日期", "登记人", "介质"});
        for (qint64 i = a; i < b; ++i) {
            const Title& t = names[i % names.size()];
            const QString status = isOut(i) ? memberCard(renterOf(i)) : QStringLiteral("待租");
            if (Status s =
                    rows.add({copyBarcode(i), t.name, goodsTypes[i % 3], t.py,
                              amount((15 + i % 80) * Money::Scale), personName(i * 7),
                              i % 2 ? QStringLiteral("二楼书架") : QStringLiteral("碟片柜"),
                              QStringLiteral("人民文学出版社"), QStringLiteral("新华书店批发部"),
                              status, 10, momentOf(i, size.copies).left(10), admin,
                              i % 3 == 1 ? QStringLiteral("DVD") : QStringLiteral("图书")});
                !s)
                return s;
        }
        return rows.flush();
    });
    if (!s)
        return s;

    // returned rents over five years, then one open rent per copy out
    const qint64 outCopies = (size.copies + 6) / 12;
    const qint64 returned = qMax<qint64>(0, size.rentRecords - outCopies);
    s = inChunks(
        db, size.rentRecords, QStringLiteral("出租记录"), progress, [&](qint64 a, qint64 b) {
            BatchInsert rows(db, QStringLiteral("出租记录"),
                             {"出租单号", "条形码", "商品名称", "py", "押金", "每日租金",
                              "会员卡号", "会员姓名", "出租日期", "已还", "出租经手人", "应还日期",
                              "归还日期", "天数", "实收租金", "归还经手人", "支付方式"});
            for (qint64 i = a; i < b; ++i) {
                const bool open = i >= returned;
                const qint64 copy = open ? (i - returned) * 12 + 5 : (i * 7919) % size.copies;
                const qint64 member = open ? renterOf(copy) : (i * 104729) % size.members;
                const Title& t = names[copy % names.size()];
                const QDateTime rented = open ? now.addSecs(-qint64(random.bounded(30 * 86400)))
                                              : start.addSecs(span * i / qMax<qint64>(1, returned));
                const int days = 1 + random.bounded(7);
                QVariantList row{QString::number(i / 3 + 1),
                                 copyBarcode(copy),
                                 t.name,
                                 t.py,
                                 amount(30 * Money::Scale),
                                 amount(Money::Scale),
                                 memberCard(member),
                                 personName(member),
                                 Clock::formatDateTime(rented),
                                 open ? QStringLiteral("否") : QStringLiteral("是"),
                                 admin,
                                 Clock::formatDateTime(rented.addDays(3))};
                if (open)
                    row << QVariant() << QVariant() << QVariant() << QVariant() << QVariant();
                else
                    row << Clock::formatDateTime(rented.addDays(days)) << days
                        << amount(days * Money::Scale) << admin
                        << (i % 4 ? QStringLiteral("现金支付") : QStringLiteral("卡内扣除"));
                if (Status s = rows.add(row); !s)
                    return s;
            }
            return rows.flush();
        });
    if (!s)
        return s;

    s = inChunks(db, size.saleItems, QStringLiteral("销售库"), progress, [&](qint64 a, qint64 b) {
        BatchInsert rows(
            db, QStringLiteral("销售库"),
            {"条形码", "商品名称", "py", "商品类型", "定价", "存放位置", "介质", "库存", "状态"});
        for (qint64 i = a; i < b; ++i) {
            const Title& t = names[(i * 31) % names.size()];
            if (Status s = rows.add({itemBarcode(i), t.name, t.py, goodsTypes[i % 3],
                                     amount((5 + i % 60) * Money::Scale), QStringLiteral("店内"),
                                     QStringLiteral("图书"), 1 + i % 40, QString()});
                !s)
                return s;
        }
        return rows.flush();
    });
    if (!s)
        return s;

    s = inChunks(
        db, size.saleRecords, QStringLiteral("销售记录"), progress, [&](qint64 a, qint64 b) {
            BatchInsert rows(db, QStringLiteral("销售记录"),
                             {"销售单号", "条形码", "商品名称", "定价", "销售单价", "数量", "折扣",
                              "合计", "商品id", "会员卡号", "姓名", "日期", "支付方式", "管理员"});
            for (qint64 i = a; i < b; ++i) {
                const qint64 item = (i * 7919) % size.saleItems;
                const Title& t = names[(item * 31) % names.size()];
                const qint64 price = (5 + item % 60) * Money::Scale;
                const int quantity = 1 + int(i % 3);
                const qint64 member = (i * 104729) % size.members;
                // the sample's own five items come first
                if (Status s = rows.add(
                        {QString::number(i / 2 + 2), itemBarcode(item), t.name, amount(price),
                         amount(price), quantity, amount(Money::Scale), amount(price * quantity),
                         QString::number(item + 6), memberCard(member), personName(member),
                         momentOf(i, size.saleRecords), QStringLiteral("现金支付"), admin});
                    !s)
                    return s;
            }
            return rows.flush();
        });
    if (!s)
        return s;

    const QStringList incomeKinds = {QStringLiteral("租金"), QStringLiteral("商品销售"),
                                     QStringLiteral("充值"), QStringLiteral("押金")};
    s = inChunks(
        db, size.incomeRows, QStringLiteral("收入记录"), progress, [&](qint64 a, qint64 b) {
            BatchInsert rows(db, QStringLiteral("收入记录"),
                             {"项目", "金额", "日期", "会员卡号", "会员姓名", "管理员"});
            for (qint64 i = a; i < b; ++i) {
                const qint64 member = (i * 104729) % size.members;
                if (Status s = rows.add({incomeKinds[i % 4], amount((1 + i % 100) * Money::Scale),
                                         momentOf(i, size.incomeRows), memberCard(member),
                                         personName(member), admin});
                    !s)
                    return s;
            }
            return rows.flush();
        });
    if (!s)
        return s;

    s = inChunks(
        db, size.expenseRows, QStringLiteral("支出记录"), progress, [&](qint64 a, qint64 b) {
            BatchInsert rows(db, QStringLiteral("支出记录"),
                             {"项目", "金额", "日期", "姓名", "管理员"});
            for (qint64 i = a; i < b; ++i)
                if (Status s =
                        rows.add({i % 2 ? QStringLiteral("房租") : QStringLiteral("水电费"),
                                  amount((100 + i % 900) * Money::Scale),
                                  momentOf(i, size.expenseRows), QStringLiteral("物业"), admin});
                    !s)
                    return s;
            return rows.flush();
        });
    if (!s)
        return s;

    s = inChunks(
        db, size.purchaseRows, QStringLiteral("进货记录"), progress, [&](qint64 a, qint64 b) {
            BatchInsert rows(db, QStringLiteral("进货记录"),
                             {"条形码", "商品名称", "商品类型", "定价", "进货单价", "进货数量",
                              "折扣", "总金额", "进货日期", "供应商", "管理员"});
            for (qint64 i = a; i < b; ++i) {
                const qint64 item = i % size.saleItems;
                const qint64 price = (5 + item % 60) * Money::Scale;
                if (Status s =
                        rows.add({itemBarcode(item), names[(item * 31) % names.size()].name,
                                  goodsTypes[item % 3], amount(price), amount(price * 7 / 10), 10,
                                  amount(7000), amount(price * 7), momentOf(i, size.purchaseRows),
                                  QStringLiteral("新华书店批发部"), admin});
                    !s)
                    return s;
            }
            return rows.flush();
        });
    if (!s)
        return s;

    s = inChunks(
        db, size.refundRows, QStringLiteral("退货记录"), progress, [&](qint64 a, qint64 b) {
            BatchInsert rows(db, QStringLiteral("退货记录"),
                             {"销售单号", "商品id", "条形码", "商品名称", "数量", "退还金额",
                              "日期", "会员卡号", "姓名", "管理员", "销售记录id", "退还方式"});
            for (qint64 i = a; i < b; ++i) {
                // one of the first quantity of the sale record 100 i + 2
                const qint64 sale = qMin(size.saleRecords - 1, i * 100);
                const qint64 item = (sale * 7919) % size.saleItems;
                const qint64 member = (sale * 104729) % size.members;
                if (Status s =
                        rows.add({QString::number(sale / 2 + 2), QString::number(item + 6),
                                  itemBarcode(item), names[(item * 31) % names.size()].name, 1,
                                  amount((5 + item % 60) * Money::Scale),
                                  momentOf(sale, size.saleRecords), memberCard(member),
                                  personName(member), admin, sale + 2, QStringLiteral("现金")});
                    !s)
                    return s;
            }
            return rows.flush();
        });
    if (!s)
        return s;

    s = inChunks(db, size.logRows, QStringLiteral("管理员日志"), progress, [&](qint64 a, qint64 b) {
        BatchInsert rows(db, QStringLiteral("管理员日志"), {"事件", "日期", "管理员", "说明"});
        for (qint64 i = a; i < b; ++i)
            if (Status s =
                    rows.add({QStringLiteral("登录"), momentOf(i, size.logRows), admin, QString()});
                !s)
                return s;
        return rows.flush();
    });
    if (!s)
        return s;

    return db.inTransaction([&]() -> Status {
        auto done = db.exec(QStringLiteral("update 系统信息 set 出租单号 = ?, 销售单号 = ?"),
                            {size.rentRecords / 3 + 1, size.saleRecords / 2 + 2});
        return done ? Status{} : Status{Error{done.error()}};
    });
}

} // namespace LargeSample
