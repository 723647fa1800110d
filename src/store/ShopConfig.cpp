#include "store/ShopConfig.h"

#include "store/IniFile.h"

#include <QFileInfo>

ShopConfig ShopConfig::load(const IniFile& file) {
    using namespace IniKeys;
    ShopConfig config;
    config.iniPath = file.path();
    const IniDocument ini = file.load(); // one reading of the file for every key
    config.iniNotice = ini.badLinesMessage(QFileInfo(file.path()).fileName());
    config.softName = ini.value(Part1, QStringLiteral("softname"), Default);
    config.tel = ini.value(Part1, QStringLiteral("tel"), Default);
    config.company = ini.value(Part1, QStringLiteral("Company"), Default);
    config.web = ini.value(Part1, QStringLiteral("Web"), Default);
    config.email = ini.value(Part1, QStringLiteral("Email"), Default);
    config.addr = ini.value(Part1, QStringLiteral("addr"), Default);
    config.kind = ini.value(Part1, Kind, QStringLiteral("a"));
    config.connectionString = ini.value(Part1, CsAccess, Default);
    if (config.kind == QLatin1String("s"))
        config.connectionString = ini.value(Part1, CsSql, Default);
    return config;
}
