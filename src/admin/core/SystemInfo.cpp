#include "admin/core/SystemInfo.h"

#include "store/Db.h"
#include "store/IniBool.h"
#include "store/IniFile.h"

namespace SystemInfo {

bool readReturnPrompt(const QString& iniPath) {
    const IniFile ini(iniPath);
    return iniYes(ini.read(IniKeys::Part2, IniKeys::ReturnReminder, IniKeys::Default));
}

Settings load(const QString& iniPath) {
    const IniDocument doc = IniFile(iniPath).load();
    return {doc.value(IniKeys::Part1, QStringLiteral("SoftName"), IniKeys::Default),
            doc.value(IniKeys::Part1, QStringLiteral("Tel"), IniKeys::Default),
            doc.value(IniKeys::Part1, QStringLiteral("Addr"), IniKeys::Default),
            iniYes(doc.value(IniKeys::Part2, IniKeys::ReturnReminder, IniKeys::Default))};
}

Status save(const QString& iniPath, const Settings& settings) {
    IniFile ini(iniPath);
    if (Status written = ini.write({
            {IniKeys::Part1, QStringLiteral("SoftName"), settings.softName.trimmed()},
            {IniKeys::Part1, QStringLiteral("Tel"), settings.tel.trimmed()},
            {IniKeys::Part1, QStringLiteral("Addr"), settings.addr.trimmed()},
            {IniKeys::Part2, IniKeys::ReturnReminder,
             settings.returnPrompt ? QStringLiteral("1") : QStringLiteral("0")},
        });
        !written)
        return Error{QStringLiteral("不能写入配置文件 %1").arg(iniPath)};
    return {};
}

QString databaseKindText(const QString& kind) {
    if (kind == QLatin1String("s"))
        return QStringLiteral("当前数据库是SqlServer");
    if (kind == QLatin1String("a"))
        return QStringLiteral("当前数据库是:Access");
    return {};
}

Result<QString> encryptionText(const QString& connectionName) {
    auto encrypted = Db(connectionName).encrypted();
    if (!encrypted)
        return Error{encrypted.error()};
    if (!encrypted.value())
        return QString();
    return *encrypted.value() ? QStringLiteral("连接已加密 (SSL)") : QStringLiteral("连接没有加密");
}

} // namespace SystemInfo
