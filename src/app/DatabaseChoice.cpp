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
    QList<IniFile::Entry> values = {
        {Part1, Kind, server ? QStringLiteral("s") : QStringLiteral("a")},
        {Part1, ServerName, serverName.trimmed()},
        {Part1, DataBaseName, databaseName.trimmed()},
        {Part1, UserName, userName.trimmed()},
        {Part1, PassWord, password.trimmed()},
    };
    if (server)
        values.append({Part1, CsSql, testedConnectionString.trimmed()});
    if (!ini.write(values))
        return Error{QStringLiteral("无法写入配置文件 ") + iniPath};
    return {};
}
