#pragma once

#include "store/Connection.h"
#include "store/Money.h"

#include <QDateTime>
#include <QSqlRecord>
#include <QString>
#include <QVariant>

// What a value of a list's result is, so that a spreadsheet gets numbers,
// dates and booleans and a printed list gets the shop's text forms.
//
// SQLite keeps money as INTEGER ten-thousandths, date-times as text and
// yes/no as 0/1, so there the meaning of a column comes from its name: the
// shop's money, date, date-time, yes/no and picture columns are listed in
// Cells.cpp (a test holds that list against the PostgreSQL schema). A
// computed column under another name (an alias, a sum) goes by the value the
// engine gives. On PostgreSQL the driver's types decide.
namespace Cells {

enum class Kind { Plain, Money, Date, DateTime, YesNo, Picture };

// The kind of a result column by its name and the engine's type for it.
Kind kindOf(const QSqlField& field, Engine engine);

struct Value {
    enum Type { Empty, Text, Number, Amount, Date, DateTime, Boolean };
    Type type = Empty;
    QString text;      // Text
    double number = 0; // Number
    Money amount;      // Amount
    QDateTime moment;  // Date (time 00:00), DateTime
    bool yes = false;  // Boolean
};

// One stored value read as what it means; NULL and pictures are Empty.
Value read(const QVariant& stored, Kind kind, Engine engine);

// The display text of a printed cell: money in its shortest form, date-times
// "yyyy-MM-dd hh:mm:ss", dates "yyyy-MM-dd", yes/no "是"/"否".
QString displayText(const Value& value);

// Columns of the shop's tables by kind (used by the schema test).
QStringList namesOf(Kind kind);

} // namespace Cells
