#pragma once

#include "store/Result.h"
#include "store/ShopConfig.h"

#include <QString>

// The shop's display settings kept in de.ini, and what the about window
// says of the configuration.
namespace SystemInfo {

struct Settings {
    QString softName;
    QString tel;
    QString addr;
    bool returnPrompt = false; // prompt when a member returns items
};

// The prompt setting as the file holds it now (part2/HyGuiHuanShiTiShi,
// default "0"), read as the return window reads it.
bool readReturnPrompt(const QString& iniPath);

// The settings as the file holds them now (not as read at start-up, so a
// second save never writes an older value back).
Settings load(const QString& iniPath);

// Writes part1/SoftName, Tel, Addr (each trimmed) and part2/
// HyGuiHuanShiTiShi ("1" or "0"), in this order, in one replacement of the
// file.
Status save(const QString& iniPath, const Settings& settings);

// "当前数据库是SqlServer" for the server kind "s", "当前数据库是:Access"
// for the file kind "a", empty for anything else.
QString databaseKindText(const QString& kind);

// Whether the named server connection is encrypted, as the server says:
// "连接已加密 (SSL)" or "连接没有加密"; empty for an embedded file.
Result<QString> encryptionText(const QString& connectionName);

} // namespace SystemInfo
