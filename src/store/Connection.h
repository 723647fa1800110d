#pragma once

#include "store/Result.h"

#include <QString>

#include <optional>

enum class Engine { Sqlite, Postgres };

// A connection string of de.ini, "Key=Value;Key=Value;...", keys matched
// without regard to case. The Provider selects the engine: the embedded
// file provider ("Microsoft.Jet.OLEDB.4.0", or "SQLite") opens the SQLite
// file named by Data Source (relative to the program's folder); a server
// provider ("SQLOLEDB.1", "PostgreSQL") opens a PostgreSQL database with
// Data Source = host[:port] (a folder for a Unix socket), Initial Catalog =
// database, User ID, Password.
struct ConnectionSpec {
    Engine engine = Engine::Sqlite;
    QString file; // SQLite: absolute path of the database file
    QString host; // PostgreSQL
    int port = 5432;
    QString database;
    QString user;
    QString password;

    static Result<ConnectionSpec> parse(const QString& connectionString, const QString& baseDir);
};

namespace Connection {

// Name of the one connection every window uses.
inline const QString Shared = QStringLiteral("shop");

struct Options {
    int timeoutSeconds =
        10; // a server that does not answer is given up after this; 0: the driver's own wait
    bool createMissingFile = true; // SQLite: a new file gets created (then empty)
};

// Opens (or reopens) the named connection; the error text says why not.
Status open(const QString& connectionString, const QString& name = Shared,
            const Options& options = {});
Status open(const ConnectionSpec& target, const QString& name, const Options& options = {});
void close(const QString& name = Shared);
// Where an open named connection leads, for a second connection to the
// same database from another thread; nullopt when it cannot be shared (a
// database in memory, or a connection not open).
std::optional<ConnectionSpec> targetOf(const QString& name);

// Folder that relative SQLite paths are resolved against: the program's folder.
QString baseDir();

} // namespace Connection
