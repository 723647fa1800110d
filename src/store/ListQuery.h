#pragma once

#include "store/Connection.h"

#include <QString>
#include <QVariantList>

// The statement behind a list on screen, as a plain value: what the grid
// shows, in its order, so that export and printing read exactly the same
// rows. Values stay bound parameters.
struct ListQuery {
    QString sql;
    QVariantList params;
    QString connectionName = Connection::Shared;
    // A column unique and never empty in every row (the table's key), when
    // the statement has one and no order of its own: the rows are then
    // shown in its order (ties of a header sort broken by it), and a page
    // is read from its neighbour's last key instead of by counting rows.
    QString key = {};
    // With a key: a column the rows are shown in, ascending and ties by the
    // key, until a header is clicked (a record list in time order). An
    // index on it serves the first screen without sorting the rows.
    QString order = {};
    // With order: the rows shown the other way (ties by the key, too).
    bool descending = false;
};
