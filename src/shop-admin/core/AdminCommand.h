#pragma once

#include <QStringList>
#include <QTextStream>

// The administration command of the shop (shop-admin):
//   init CONNECTION-STRING    create the tables and first rows
//   sample CONNECTION-STRING  fill a small sample shop
//   upgrade CONNECTION-STRING bring the schema up to date (run by the owner)
//   check [CONNECTION-STRING] schema version and row counts (default: de.ini)
// Gives the exit status: 0 on success.
namespace AdminCommand {
int run(const QStringList& arguments, QTextStream& out, QTextStream& err);
}
