#include "shop-admin/core/SampleData.h"

#include "store/Clock.h"
#include "store/Pinyin.h"

namespace {

QVariant money(const char* text) {
    return QVariant::fromValue(*Money::parse(QString::fromLatin1(text)));
}

struct Runner {
    const Db& db;
    Status status;
    void operator()(const QString& sql, const QVariantList& params) {
        if (!status)
            return;
        auto done = db.exec(sql, params);
        if (!done)
            status = Error{done.error()};
    }
};

} // namespace

namespace SampleData {

Status fill(const Db& db) {
    auto existing = db.scalarInteger(
        QStringLiteral("select (select count(*) from 会员库) + (select count(*) from 出租库) + "
                       "(select count(*) from 销售库)"));
    if (!existing)
        return Error{existing.error()};
    if (existing.value().value_or(0) > 0)
        return Error{QStringLiteral("数据库中已有会员或商品, 不再填入示例数据")};

    return db.inTransaction([&]() -> Status {
        Runner run{db, {}};
        const QDateTime now = Clock::now();
        const QString admin = QStringLiteral("超级管理员");

        for (const char* name : {"二楼书架", "碟片柜"})
            run(QStringLiteral("insert into 存放位置(名称) values(?)"), {QString::fromUtf8(name)});
        for (const char* name : {"DVD", "CD"})
            run(QStringLiteral("insert into 介质(名称) values(?)"), {QString::fromUtf8(name)});
        for (const char* name : {"人民文学出版社", "三联书店", "长江音像"})
            run(QStringLiteral("insert into 出版社(名称) values(?)"), {QString::fromUtf8(name)});
        for (const char* name : {"财务部", "技术部"})
            run(QStringLiteral("insert into 单位部门(名称) values(?)"), {QString::fromUtf8(name)});
        run(QStringLiteral(
                "insert into 供应商(名称,联系人,联系方式,地址,所欠货款) values(?,?,?,?,?)"),
            {QStringLiteral("新华书店批发部"), QStringLiteral("王经理"),
             QStringLiteral("010-6512-3456"), QStringLiteral("北京市东城区"), money("0")});
        run(QStringLiteral(
                "insert into 供应商(名称,联系人,联系方式,地址,所欠货款) values(?,?,?,?,?)"),
            {QStringLiteral("长江音像发行"), QStringLiteral("李小姐"),
             QStringLiteral("027-8888-1234"), QStringLiteral("武汉市江汉区"), money("350.5")});
        for (auto [kind, name] : {std::pair{"收入", "罚款"}, std::pair{"收入", "复印"},
                                  std::pair{"支出", "房租"}, std::pair{"支出", "水电费"}})
            run(QStringLiteral("insert into 收支类型(类型,名称) values(?,?)"),
                {QString::fromUtf8(kind), QString::fromUtf8(name)});

        run(QStringLiteral("insert into 商品类型(名称,每日租金,押金) values(?,?,?)"),
            {QStringLiteral("新片"), money("2"), money("30")});
        run(QStringLiteral("insert into 商品类型(名称,每日租金,押金) values(?,?,?)"),
            {QStringLiteral("精装书"), money("1.5"), money("50")});

        const QString typeSql = QStringLiteral(
            "insert into 会员类型(名称,可借数量,折扣,开户费,有效期限制,归还时租金卡内扣除,免押金,"
            "免租金) values(?,?,?,?,?,?,?,?)");
        run(typeSql,
            {QStringLiteral("普通会员"), 3, money("1"), money("10"), true, false, false, false});
        run(typeSql,
            {QStringLiteral("银卡会员"), 5, money("0.9"), money("20"), true, true, false, false});
        run(typeSql,
            {QStringLiteral("金卡会员"), 10, money("0.85"), money("50"), false, true, true, false});

        struct Member {
            const char *card, *name, *type, *sex, *balance, *points, *phone;
            int validDays;
        };
        const Member members[] = {
            {"1001", "张伟", "普通会员", "男", "50", "12", "13800001001", 365},
            {"1002", "李娜", "银卡会员", "女", "120.5", "230", "13800001002", 365},
            {"1003", "王芳", "金卡会员", "女", "300", "860", "13800001003", 730},
            {"1004", "刘洋", "普通会员", "男", "8", "0", "13800001004", -10},
        };
        for (const Member& m : members) {
            run(QStringLiteral("insert into 会员库(会员卡号,会员姓名,会员类型,会员性别,卡内金额,"
                               "会员积分,登记日期,证件号码,联系方式,单位部门,住址,状态,密码,备注,"
                               "登记人,有效期) values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                {QString::fromUtf8(m.card), QString::fromUtf8(m.name), QString::fromUtf8(m.type),
                 QString::fromUtf8(m.sex), money(m.balance), money(m.points),
                 now.date().addDays(-60), QString(), QString::fromUtf8(m.phone),
                 QStringLiteral("财务部"), QStringLiteral("北京市"), QStringLiteral("正常"),
                 QStringLiteral("7302"), QString(), admin, now.addDays(m.validDays)});
        }

        struct Copy {
            const char *barcode, *title, *type, *price, *author, *place, *publisher;
        };
        const Copy copies[] = {
            {"A0001", "红楼梦", "精装书", "59.8", "曹雪芹", "二楼书架", "人民文学出版社"},
            {"A0002", "西游记", "普通", "32", "吴承恩", "二楼书架", "人民文学出版社"},
            {"A0003", "围城", "普通", "25.5", "钱钟书", "店内", "三联书店"},
            {"A0004", "平凡的世界", "精装书", "88", "路遥", "二楼书架", "人民文学出版社"},
            {"D0001", "英雄", "新片", "20", "张艺谋", "碟片柜", "长江音像"},
            {"D0002", "卧虎藏龙", "新片", "20", "李安", "碟片柜", "长江音像"},
            {"D0003", "光盘出租指南", "普通", "15", "佚名", "碟片柜", "长江音像"},
            {"D0004", "大话西游", "新片", "18", "刘镇伟", "碟片柜", "长江音像"},
        };
        for (const Copy& c : copies) {
            const QString title = QString::fromUtf8(c.title);
            run(QStringLiteral("insert into 出租库 values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                {QString::fromUtf8(c.barcode), title, QString::fromUtf8(c.type), PinyinCode(title),
                 money(c.price), QString::fromUtf8(c.author), QString::fromUtf8(c.place),
                 QString::fromUtf8(c.publisher), QStringLiteral("新华书店批发部"), QString(),
                 QStringLiteral("待租"), 0, now.date().addDays(-90), admin, QString(), QVariant()});
        }

        struct Item {
            const char *barcode, *title, *type, *price;
            int stock;
        };
        const Item items[] = {
            {"S0001", "现代汉语词典", "普通", "89", 5},
            {"S0002", "唐诗三百首", "普通", "12.35", 20},
            {"S0003", "新华字典", "普通", "19.9", 12},
            {"S0004", "空白光盘", "普通", "1.5", 100},
            {"S0005", "周杰伦精选", "新片", "45", 3},
        };
        for (const Item& item : items) {
            const QString title = QString::fromUtf8(item.title);
            run(QStringLiteral(
                    "insert into 销售库(条形码,商品名称,py,商品类型,定价,存放位置,出版社,"
                    "作者,介质,简介,库存) values(?,?,?,?,?,?,?,?,?,?,?)"),
                {QString::fromUtf8(item.barcode), title, PinyinCode(title),
                 QString::fromUtf8(item.type), money(item.price), QStringLiteral("店内"), QString(),
                 QString(), QString(), QString(), item.stock});
            run(QStringLiteral(
                    "insert into 进货记录(条形码,商品名称,商品类型,定价,进货单价,进货数量,"
                    "折扣,总金额,进货日期,供应商,管理员,说明) "
                    "values(?,?,?,?,?,?,?,?,?,?,?,?)"),
                {QString::fromUtf8(item.barcode), title, QString::fromUtf8(item.type),
                 money(item.price), money(item.price), item.stock, money("1"),
                 QVariant::fromValue(*Money::parse(QString::fromLatin1(item.price)) * item.stock),
                 now.addDays(-30), QStringLiteral("新华书店批发部"), admin, QString()});
        }

        // A returned rent, an open rent of member 1002, and a walk-in rent.
        const QString rentSql = QStringLiteral(
            "insert into 出租记录(出租单号,条形码,商品名称,py,押金,每日租金,会员卡号,会员姓名,"
            "出租日期,已还,出租经手人,归还日期,天数,实收租金,归还经手人,支付方式,归还说明) "
            "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        run(rentSql, {QStringLiteral("1"), QStringLiteral("A0003"), QStringLiteral("围城"),
                      PinyinCode(QStringLiteral("围城")), money("10"), money("1"),
                      QStringLiteral("1001"), QStringLiteral("张伟"), now.addDays(-20),
                      QStringLiteral("是"), admin, now.addDays(-17), 3, money("3"), admin,
                      QStringLiteral("现金支付"), QStringLiteral("正常")});
        run(rentSql,
            {QStringLiteral("2"), QStringLiteral("D0001"), QStringLiteral("英雄"),
             PinyinCode(QStringLiteral("英雄")), money("30"), money("2"), QStringLiteral("1002"),
             QStringLiteral("李娜"), now.addDays(-2), QStringLiteral("否"), admin, QVariant(),
             QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
        run(rentSql,
            {QStringLiteral("3"), QStringLiteral("A0002"), QStringLiteral("西游记"),
             PinyinCode(QStringLiteral("西游记")), money("10"), money("1"), QStringLiteral("散客"),
             QStringLiteral("散客"), now.addDays(-1), QStringLiteral("否"), admin, QVariant(),
             QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
        run(QStringLiteral("update 出租库 set 状态 = ?, 借出次数 = 1 where 条形码 = ?"),
            {QStringLiteral("1002"), QStringLiteral("D0001")});
        run(QStringLiteral("update 出租库 set 状态 = ?, 借出次数 = 1 where 条形码 = ?"),
            {QStringLiteral("散客"), QStringLiteral("A0002")});
        run(QStringLiteral("update 出租库 set 借出次数 = 1 where 条形码 = ?"),
            {QStringLiteral("A0003")});

        const QString incomeSql =
            QStringLiteral("insert into 收入记录(项目,金额,日期,会员卡号,会员姓名,管理员,说明) "
                           "values(?,?,?,?,?,?,?)");
        run(incomeSql, {QStringLiteral("租金"), money("3"), now.addDays(-17),
                        QStringLiteral("1001"), QStringLiteral("张伟"), admin, QString()});
        run(incomeSql, {QStringLiteral("商品销售"), money("24.7"), now.addDays(-5),
                        QStringLiteral("散客"), QStringLiteral("散客"), admin, QVariant()});
        run(incomeSql,
            {QStringLiteral("充值"), money("100"), now.addDays(-40), QStringLiteral("1002"),
             QStringLiteral("李娜"), admin, QStringLiteral("[充值金额:100元]")});
        run(QStringLiteral("insert into 支出记录(项目,金额,日期,姓名,管理员,说明) "
                           "values(?,?,?,?,?,?)"),
            {QStringLiteral("水电费"), money("180"), now.addDays(-3), QStringLiteral("物业"), admin,
             QStringLiteral("十一月")});

        const QString saleSql = QStringLiteral(
            "insert into 销售记录(销售单号,条形码,商品名称,定价,销售单价,数量,折扣,合计,商品id,"
            "会员卡号,姓名,日期,支付方式,管理员) values(?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        run(saleSql, {QStringLiteral("1"), QStringLiteral("S0002"), QStringLiteral("唐诗三百首"),
                      money("12.35"), money("12.35"), 2, money("1"), money("24.7"),
                      QStringLiteral("2"), QStringLiteral("散客"), QStringLiteral("散客"),
                      now.addDays(-5), QStringLiteral("现金支付"), admin});
        run(QStringLiteral("update 系统信息 set 出租单号 = 3, 销售单号 = 1"), {});
        return run.status;
    });
}

} // namespace SampleData
