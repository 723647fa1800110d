#include "app/DatabaseChoice.h"

#include "store/IniFile.h"
#include "store/ShopConfig.h"

#include <QList>
#include <utility>

QString DatabaseChoice::serverConnectionString(const QString& server, const QString& database,
                                               const QString& user, const QString& password) {
    return QStringLiteral("Provider=SQLOLEDB.1;Password=") + password +
           QStringLiteral(";Persist Security Info=True;User ID=") + user +
           QStringLiteral(";Initial Catalog=") + database + QStringLiteral(";Data Source=") +
           server + QStringLiteral(";");
}

Status DatabaseChoice::save(const QString& iniPath) const {
    using namespace IniKeys;
    IniFile ini(iniPath);
    QList<std::pair<QString, QString>> values = {
        {Kind, server ? QStringLiteral("s") : QStringLiteral("a")},
        {ServerName, serverName.trimmed()},
        {DataBaseName, databaseName.trimmed()},
        {UserName, userName.trimmed()},
        {PassWord, password.trimmed()},
    };
    if (server)
        values.append({CsSql, testedConnectionString.trimmed()});
    for (const auto& [key, value] : values) {
        if (!ini.write(Part1, key, value))
            return Error{QStringLiteral("无法写入配置文件 ") + iniPath};
    }
    return {};
}
