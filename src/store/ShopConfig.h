#pragma once

#include <QString>

class IniFile;

// The values read from de.ini once at start-up; they stay in force for the
// whole run (a change takes effect at the next start).
struct ShopConfig {
    QString softName = QStringLiteral("0");
    QString tel = QStringLiteral("0");
    QString company = QStringLiteral("0");
    QString web = QStringLiteral("0");
    QString email = QStringLiteral("0");
    QString addr = QStringLiteral("0");
    QString kind = QStringLiteral("a"); // "a" embedded file, "s" server; compared exactly
    QString connectionString = QStringLiteral("0");
    QString iniPath;
    // What the program says of the file itself once at start-up (lines
    // holding bytes that are no UTF-8); empty when nothing.
    QString iniNotice;

    // Section part1 in this order: softname, tel, Company, Web, Email, addr,
    // abc, csAccess; csSql replaces the connection string only when abc is "s".
    static ShopConfig load(const IniFile& ini);
};

// Names in de.ini.
namespace IniKeys {
inline const QString Part1 = QStringLiteral("part1");
inline const QString Part2 = QStringLiteral("part2");
inline const QString Kind = QStringLiteral("abc");
inline const QString CsAccess = QStringLiteral("csAccess");
inline const QString CsSql = QStringLiteral("csSql");
inline const QString ServerName = QStringLiteral("ServerName");
inline const QString DataBaseName = QStringLiteral("DataBaseName");
inline const QString UserName = QStringLiteral("UserName");
inline const QString PassWord = QStringLiteral("PassWord");
inline const QString SslMode = QStringLiteral("SslMode");
inline const QString SslRootCert = QStringLiteral("SslRootCert");
inline const QString ReturnReminder = QStringLiteral("HyGuiHuanShiTiShi");
inline const QString Default = QStringLiteral("0");
} // namespace IniKeys
