#pragma once

#include "store/Connection.h"
#include "store/Permissions.h"
#include "store/ShopConfig.h"

#include <QString>

// Who is working and what they may do, with the configuration read at
// start-up. Written at start-up and at login only, then passed by const
// reference to every window that needs it.
struct LoginContext {
    QString adminName;
    ShopConfig config;
    PermissionFlags permissions;
    QString connectionName = Connection::Shared;

    bool may(Permission p) const { return permissions.has(p); }
};
