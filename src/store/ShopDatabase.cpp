#include "store/ShopDatabase.h"

#include "store/Connection.h"
#include "store/Db.h"
#include "store/IniFile.h"
#include "store/Schema.h"
#include "store/StatementWatch.h"

namespace ShopDatabase {

Status mayOpen(const QString& connectionName) {
    const Db db(connectionName);
    auto version = Schema::version(db);
    if (!version)
        return Error{version.error()};
    if (version.value() >= Schema::CurrentVersion)
        return {};
    auto allowed = db.mayChangeSchema();
    if (!allowed)
        return Error{allowed.error()};
    if (allowed.value())
        return {};
    const QString user = db.handle().userName();
    if (version.value() == 0)
        return Error{QStringLiteral("数据库中还没有数据表, 数据库用户 %1 无权建立. "
                                    "请由数据库的所有者运行 shop-admin init 建立后再启动软件.")
                         .arg(user)};
    return Error{QStringLiteral("数据库版本 %1 比本程序 (版本 %2) 旧, 数据库用户 %3 无权升级. "
                                "请由数据库的所有者运行 shop-admin upgrade 升级后再启动软件.")
                     .arg(version.value())
                     .arg(Schema::CurrentVersion)
                     .arg(user)};
}

namespace {

// How long a statement may wait for the server, from de.ini ([part2]
// BookingTimeout for the statements of a booking, ReadTimeout for lists and
// reports; seconds, 0 for no limit): past it the connection is given up.
void applyStatementDeadlines(const QString& iniPath) {
    const IniDocument ini = IniFile(iniPath).load();
    auto seconds = [&](const QString& key, int fallback) {
        bool ok = false;
        const int value = ini.value(QStringLiteral("part2"), key, {}).trimmed().toInt(&ok);
        return ok && value >= 0 ? value : fallback;
    };
    StatementWatch::setDeadlines(seconds(QStringLiteral("BookingTimeout"), 20),
                                 seconds(QStringLiteral("ReadTimeout"), 120));
}

} // namespace

Status open(const ShopConfig& config, const QString& connectionName) {
    applyStatementDeadlines(config.iniPath);
    if (Status opened = Connection::open(config.connectionString, connectionName); !opened)
        return opened;
    if (Status allowed = mayOpen(connectionName); !allowed) {
        Connection::close(connectionName);
        return allowed;
    }
    if (Status ready = Schema::openOrCreate(Db(connectionName)); !ready) {
        Connection::close(connectionName);
        return ready;
    }
    return {};
}

} // namespace ShopDatabase
