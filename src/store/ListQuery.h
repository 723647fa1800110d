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
};
