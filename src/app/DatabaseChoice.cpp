#include "app/DatabaseChoice.h"

#include "store/Connection.h"
#include "store/IniFile.h"
#include "store/ShopConfig.h"

#include <QList>
#include <utility>

QString DatabaseChoice::serverConnectionString(const QString& server, const QString& database,
                                               const QString& user, const QString& password,
                                               const QString& sslMode, const QString& sslRootCert) {
    // every value quoted where it must be, so that it reads back as typed
    const auto q = [](const QString& value) { return ConnectionSpec::quoteValue(value); };
    QString text = QStringLiteral("Provider=SQLOLEDB.1;Password=") + q(password) +
                   QStringLiteral(";Persist Security Info=True;User ID=") + q(user) +
                   QStringLiteral(";Initial Catalog=") + q(database) +
                   QStringLiteral(";Data Source=") + q(server) + QStringLiteral(";");
    if (!sslMode.isEmpty())
        text += QStringLiteral("SSL Mode=") + q(sslMode) + u';';
    if (!sslRootCert.isEmpty())
        text += QStringLiteral("SSL Root Cert=") + q(sslRootCert) + u';';
    return text;
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
        {Part1, SslMode, sslMode.trimmed()},
        {Part1, SslRootCert, sslRootCert.trimmed()},
    };
    if (server)
        values.append({Part1, CsSql, testedConnectionString.trimmed()});
    if (!ini.write(values))
        return Error{QStringLiteral("无法写入配置文件 ") + iniPath};
    return {};
}
