#include "store/ShopConfig.h"

#include "store/IniFile.h"

ShopConfig ShopConfig::load(const IniFile& ini) {
    using namespace IniKeys;
    ShopConfig config;
    config.iniPath = ini.path();
    config.softName = ini.read(Part1, QStringLiteral("softname"), Default);
    config.tel = ini.read(Part1, QStringLiteral("tel"), Default);
    config.company = ini.read(Part1, QStringLiteral("Company"), Default);
    config.web = ini.read(Part1, QStringLiteral("Web"), Default);
    config.email = ini.read(Part1, QStringLiteral("Email"), Default);
    config.addr = ini.read(Part1, QStringLiteral("addr"), Default);
    config.kind = ini.read(Part1, Kind, QStringLiteral("a"));
    config.connectionString = ini.read(Part1, CsAccess, Default);
    if (config.kind == QLatin1String("s"))
        config.connectionString = ini.read(Part1, CsSql, Default);
    return config;
}
