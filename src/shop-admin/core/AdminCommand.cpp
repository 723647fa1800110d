#include "shop-admin/core/AdminCommand.h"

#include "shop-admin/core/LargeSample.h"
#include "shop-admin/core/SampleData.h"
#include "store/Connection.h"
#include "store/Db.h"
#include "store/IniFile.h"
#include "store/Schema.h"
#include "store/ShopConfig.h"

#include <QDir>

namespace {

const QString AdminConnection = QStringLiteral("shop-admin");

void usage(QTextStream& err) {
    err << "用法:\n"
           "  shop-admin init CONNECTION-STRING    建立数据表和初始数据\n"
           "  shop-admin sample CONNECTION-STRING  填入示例商店数据\n"
           "  shop-admin sample CONNECTION-STRING --scale N\n"
           "                                       填入大量数据 (N=1: "
           "一百万件出租商品、一百万会员、\n"
           "                                       一千万条出租记录; N=0.01 为其百分之一)\n"
           "  shop-admin upgrade CONNECTION-STRING 把数据库升级到本程序的版本 "
           "(由数据库的所有者运行)\n"
           "  shop-admin check [CONNECTION-STRING] 显示数据库版本和各表行数\n"
           "  shop-admin backup CONNECTION-STRING FILE  备份数据到文件并核对\n"
           "  shop-admin restore FILE CONNECTION-STRING 用备份文件恢复数据 "
           "(服务器: 由数据库的所有者运行)\n"
           "  shop-admin import-mdb FILE.mdb CONNECTION-STRING  导入旧数据 (data.mdb)\n"
           "连接字符串示例:\n"
           "  \"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=data.db\"\n"
           "  \"Provider=SQLOLEDB.1;Password=pw;User ID=shop;Initial Catalog=shop;"
           "Data Source=localhost:5432;\"\n";
}

int fail(QTextStream& err, const QString& message) {
    err << "错误: " << message << '\n';
    return 1;
}

int check(const Db& db, QTextStream& out, QTextStream& err) {
    auto version = Schema::version(db);
    if (!version)
        return fail(err, version.error());
    out << "数据库版本: " << version.value() << " (程序版本 " << Schema::CurrentVersion << ")\n";
    if (version.value() == 0)
        return 0;
    for (const QString& table : Schema::tableNames()) {
        auto count = db.scalarInteger(QStringLiteral("select count(*) from ") + Db::quoted(table));
        if (!count)
            return fail(err, count.error());
        out << table << ": " << count.value().value_or(0) << '\n';
    }
    return 0;
}

int upgrade(const Db& db, QTextStream& out, QTextStream& err) {
    auto before = Schema::version(db);
    if (!before)
        return fail(err, before.error());
    if (before.value() == 0)
        return fail(err, QStringLiteral("数据库中还没有数据表, 请用 shop-admin init 建立"));
    auto allowed = Db(AdminConnection).mayChangeSchema();
    if (!allowed)
        return fail(err, allowed.error());
    if (!allowed.value() && before.value() < Schema::CurrentVersion)
        return fail(err, QStringLiteral("数据库用户 %1 不是数据表的所有者, 不能升级; "
                                        "请用所有者的连接字符串运行")
                             .arg(db.handle().userName()));
    if (Status ready = Schema::openOrCreate(db); !ready)
        return fail(err, ready.error());
    if (before.value() == Schema::CurrentVersion)
        out << "数据库已是最新版本 (版本 " << Schema::CurrentVersion << ")\n";
    else
        out << "数据库已从版本 " << before.value() << " 升级到版本 " << Schema::CurrentVersion
            << "\n";
    return 0;
}

} // namespace

namespace AdminCommand {

int run(const QStringList& given, QTextStream& out, QTextStream& err) {
    QStringList arguments = given;
    double scale = 0;
    if (const int at = arguments.indexOf(QStringLiteral("--scale")); at >= 0) {
        bool number = false;
        scale = at + 1 < arguments.size() ? arguments.at(at + 1).toDouble(&number) : 0;
        if (!number || !(scale > 0) || scale > 10)
            return fail(err, QStringLiteral("--scale 后应为 0 到 10 之间的数"));
        arguments.remove(at, 2);
    }
    if (arguments.isEmpty()) {
        usage(err);
        return 2;
    }
    const QString command = arguments.first();
    QString connectionString;
    if (arguments.size() >= 2) {
        connectionString = arguments.at(1);
    } else if (command == QLatin1String("check")) {
        connectionString = ShopConfig::load(IniFile(IniFile::defaultPath())).connectionString;
    } else {
        usage(err);
        return 2;
    }
    if (command != QLatin1String("init") && command != QLatin1String("sample") &&
        command != QLatin1String("check") && command != QLatin1String("upgrade")) {
        usage(err);
        return 2;
    }
    auto target = ConnectionSpec::parse(connectionString, QDir::currentPath());
    if (!target)
        return fail(err, target.error());
    Connection::Options options;
    options.timeoutSeconds = 10;
    options.createMissingFile = command == QLatin1String("init");
    // a check only reads, so a read-only file can be checked
    options.readOnly =
        command == QLatin1String("check") && Dialect::of(target.value().engine).isEmbeddedFile();
    if (Status opened = Connection::open(target.value(), AdminConnection, options); !opened)
        return fail(err, opened.error());
    int status = 0;
    {
        Db db(AdminConnection);
        if (command == QLatin1String("init")) {
            if (Status created = Schema::create(db); !created)
                status = fail(err, created.error());
            else
                out << "已建立数据表和初始数据 (版本 " << Schema::CurrentVersion << ")\n";
        } else if (command == QLatin1String("sample")) {
            Status ready = Schema::openOrCreate(db);
            if (ready && scale > 0)
                ready = LargeSample::fill(db, scale, [&](const QString& table, qint64 rows) {
                    out << table << ": " << rows << '\n';
                    out.flush();
                });
            else if (ready)
                ready = SampleData::fill(db);
            if (!ready)
                status = fail(err, ready.error());
            else
                out << "已填入示例数据\n";
        } else if (command == QLatin1String("upgrade")) {
            status = upgrade(db, out, err);
        } else {
            status = check(db, out, err);
        }
    }
    Connection::close(AdminConnection);
    return status;
}

} // namespace AdminCommand
