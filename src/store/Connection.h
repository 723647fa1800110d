#pragma once

#include "store/Engine.h"
#include "store/Result.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

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
    // TLS to the server (SSL Mode, SSL Root Cert): libpq's sslmode, empty
    // for libpq's default (prefer), and the CA file that verify-ca and
    // verify-full check the server's certificate against.
    QString sslMode;
    QString sslRootCert;

    // A value holding ";", a quote or blanks at either end is written in
    // double quotes (a quote inside doubled), so that it reads back as it is.
    static Result<ConnectionSpec> parse(const QString& connectionString, const QString& baseDir);
    // The value as it stands in a connection string: quoted when it must be.
    static QString quoteValue(const QString& value);
    // The connection string with every password replaced by "***", for
    // every text shown or logged.
    static QString masked(const QString& connectionString);
    // The sslmode values libpq knows.
    static const QStringList SslModes;
};

namespace Connection {

// Name of the one connection every window uses.
inline const QString Shared = QStringLiteral("shop");

struct Options {
    int timeoutSeconds =
        10; // a server that does not answer is given up after this; 0: the driver's own wait
    bool createMissingFile = true; // SQLite: a new file gets created (then empty)
    // SQLite: the file is opened for reading only (a command that only reads).
    bool readOnly = false;
};

// Told when a database file opened for bookings cannot be written.
QString readOnlyMessage(const QString& file);

// The libpq connection options of a server connection, ';'-separated as
// the driver takes them: the connect timeout, TLS, and TCP keepalives with
// a user timeout, so that a network cut without a reset is found.
QString postgresOptions(const ConnectionSpec& target, const Options& options);
// Seconds of an idle connection before the first keepalive, then between
// keepalives, and how many unanswered ones end it; data unacknowledged
// this many milliseconds ends it too.
inline constexpr int KeepaliveIdleSeconds = 10;
inline constexpr int KeepaliveIntervalSeconds = 5;
inline constexpr int KeepaliveCount = 3;
inline constexpr int TcpUserTimeoutMs = 20000;

// Opens (or reopens) the named connection; the error text says why not.
Status open(const QString& connectionString, const QString& name = Shared,
            const Options& options = {});
Status open(const ConnectionSpec& target, const QString& name, const Options& options = {});
void close(const QString& name = Shared);
// Where an open named connection leads, for a second connection to the
// same database from another thread; nullopt when it cannot be shared (a
// database in memory, or a connection not open).
std::optional<ConnectionSpec> targetOf(const QString& name);

// Opens the named connection again where open() last led it, with the same
// options (after the server went away, or after the connection was given
// up at a statement's deadline). The notice, when set, hears true before
// the attempt and false after it (a window shows a short message meanwhile).
Status reopen(const QString& name);
void setReconnectNotice(std::function<void(bool trying)> notice);

// Folder that relative SQLite paths are resolved against: the program's folder.
QString baseDir();

} // namespace Connection
