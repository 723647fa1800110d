#pragma once

#include "store/Result.h"

#include <QString>

// The database choice the settings window writes to de.ini; it takes effect
// at the next start.
struct DatabaseChoice {
    bool server = false; // false: the embedded file named by csAccess
    QString serverName;
    QString databaseName;
    QString userName;
    QString password;
    // TLS: libpq's sslmode (empty: its default, prefer) and the CA file
    QString sslMode;
    QString sslRootCert;
    // The server connection string of the last successful test.
    QString testedConnectionString;

    // The connection string of a database server, from the fields as typed
    // (a value holding ";" or blanks at either end quoted, so it reads back).
    static QString serverConnectionString(const QString& server, const QString& database,
                                          const QString& user, const QString& password,
                                          const QString& sslMode = {},
                                          const QString& sslRootCert = {});

    // Writes abc, the four server fields and the TLS ones (trimmed) and, for the server,
    // csSql; csAccess is never written. Fails when the file cannot be written.
    Status save(const QString& iniPath) const;
};
