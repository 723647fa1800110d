#pragma once

#include "store/Db.h"
#include "store/Money.h"
#include "store/Result.h"

#include <QList>
#include <QMap>
#include <QString>

// What a copy of the shop's data must agree on with its source: the rows of
// every table and the sum of every money column, read in one snapshot.
struct TableFigures {
    QString table;
    qint64 rows = 0;
    QMap<QString, Money> sums; // money column -> sum of its values

    bool operator==(const TableFigures&) const = default;
};

struct ShopFigures {
    QList<TableFigures> tables;

    bool operator==(const ShopFigures&) const = default;

    // Read from the database, table by table; run it inside one read
    // snapshot (Db::inReadSnapshot) to have the figures of one moment.
    static Result<ShopFigures> read(const Db& db);
    // Where two sets of figures differ, in the system's words ("" when they agree).
    static QString difference(const ShopFigures& expected, const ShopFigures& found);

    QString toJson() const;
    static std::optional<ShopFigures> fromJson(const QString& json);
};
