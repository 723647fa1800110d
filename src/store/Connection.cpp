#include "store/Connection.h"

#include "store/Dialect.h"
#include "store/KeptStatements.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

namespace {

struct Pair {
    QString key; // lower case, trimmed
    QString value;
    qsizetype valueStart = 0; // where the value stands in the text, quotes included
    qsizetype valueEnd = 0;
};

// "Key=Value;Key=\"Va;lue\";..." read pair by pair. A value that starts
// with a double or single quote runs to the matching quote (a doubled one
// stands for itself); any other value runs to the next ";" and is trimmed.
QList<Pair> pairsOf(const QString& text) {
    QList<Pair> pairs;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype eq = text.indexOf(u'=', i);
        const qsizetype semicolon = text.indexOf(u';', i);
        if (eq < 0 || (semicolon >= 0 && semicolon < eq)) {
            // a part without "=": skipped
            if (semicolon < 0)
                break;
            i = semicolon + 1;
            continue;
        }
        Pair pair;
        pair.key = text.mid(i, eq - i).trimmed().toLower();
        qsizetype v = eq + 1;
        while (v < n && text[v].isSpace() && text[v] != u';')
            ++v;
        if (v < n && (text[v] == u'"' || text[v] == u'\'')) {
            const QChar quote = text[v];
            pair.valueStart = v;
            qsizetype j = v + 1;
            for (; j < n; ++j) {
                if (text[j] != quote) {
                    pair.value += text[j];
                } else if (j + 1 < n && text[j + 1] == quote) {
                    pair.value += quote;
                    ++j;
                } else {
                    break;
                }
            }
            pair.valueEnd = qMin(j + 1, n);
            const qsizetype next = text.indexOf(u';', pair.valueEnd);
            i = next < 0 ? n : next + 1;
        } else {
            const qsizetype end = semicolon < 0 ? n : semicolon;
            pair.valueStart = v;
            pair.valueEnd = end;
            pair.value = text.mid(v, end - v).trimmed();
            i = end + 1;
        }
        if (!pair.key.isEmpty())
            pairs.append(pair);
    }
    return pairs;
}

QHash<QString, QString> splitPairs(const QString& text) {
    QHash<QString, QString> values;
    for (const Pair& pair : pairsOf(text))
        values.insert(pair.key, pair.value);
    return values;
}

bool isPasswordKey(const QString& key) {
    return key == QLatin1String("password") || key == QLatin1String("pwd");
}

// A libpq conninfo value in single quotes, its quotes and backslashes escaped.
QString conninfoValue(const QString& value) {
    QString escaped = value;
    escaped.replace(u'\\', QStringLiteral("\\\\"));
    escaped.replace(u'\'', QStringLiteral("\\'"));
    return u'\'' + escaped + u'\'';
}

bool sqliteReadOnly(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return false;
    auto* sqlite = *static_cast<sqlite3* const*>(handle.constData());
    return sqlite && sqlite3_db_readonly(sqlite, "main") == 1;
}

bool isFileProvider(const QString& provider) {
    return provider.startsWith(QLatin1String("microsoft.jet"), Qt::CaseInsensitive) ||
           provider.startsWith(QLatin1String("microsoft.ace"), Qt::CaseInsensitive) ||
           provider.compare(QLatin1String("sqlite"), Qt::CaseInsensitive) == 0;
}

bool isServerProvider(const QString& provider) {
    return provider.startsWith(QLatin1String("sqloledb"), Qt::CaseInsensitive) ||
           provider.startsWith(QLatin1String("postgres"), Qt::CaseInsensitive) ||
           provider.compare(QLatin1String("psql"), Qt::CaseInsensitive) == 0;
}

} // namespace

const QStringList ConnectionSpec::SslModes = {
    QStringLiteral("disable"), QStringLiteral("allow"),     QStringLiteral("prefer"),
    QStringLiteral("require"), QStringLiteral("verify-ca"), QStringLiteral("verify-full")};

QString ConnectionSpec::quoteValue(const QString& value) {
    const bool plain = !value.contains(u';') && !value.contains(u'"') && !value.startsWith(u'\'') &&
                       value.trimmed() == value;
    if (plain)
        return value;
    QString inner = value;
    inner.replace(u'"', QStringLiteral("\"\""));
    return u'"' + inner + u'"';
}

QString ConnectionSpec::masked(const QString& connectionString) {
    QString text = connectionString;
    const QList<Pair> pairs = pairsOf(connectionString);
    // from the end, so that the earlier spans stay where they are
    for (auto it = pairs.crbegin(); it != pairs.crend(); ++it) {
        if (isPasswordKey(it->key))
            text.replace(it->valueStart, it->valueEnd - it->valueStart, QStringLiteral("***"));
    }
    return text;
}

Result<ConnectionSpec> ConnectionSpec::parse(const QString& connectionString,
                                             const QString& baseDir) {
    const auto pairs = splitPairs(connectionString);
    const QString provider = pairs.value(QStringLiteral("provider"));
    const QString source = pairs.value(QStringLiteral("data source"));
    ConnectionSpec target;
    if (isFileProvider(provider)) {
        if (source.isEmpty())
            return Error{QStringLiteral("连接字符串没有指定数据库文件 (Data Source)")};
        if (source.contains(QChar(0)))
            return Error{QStringLiteral("连接字符串的数据库文件名中不能含有空字符 (NUL)")};
        target.engine = Engine::Sqlite;
        target.file = QDir(baseDir).absoluteFilePath(source);
        return target;
    }
    if (isServerProvider(provider)) {
        target.engine = Engine::Postgres;
        target.host = source;
        // host:port, but a socket folder may itself hold no colon only
        const qsizetype colon = source.lastIndexOf(u':');
        if (colon > 0) {
            bool numeric = false;
            const int port = source.mid(colon + 1).toInt(&numeric);
            if (numeric && (port <= 0 || port > 65535))
                return Error{QStringLiteral("连接字符串的端口号不正确: ") + source.mid(colon + 1)};
            if (numeric) {
                target.host = source.left(colon);
                target.port = port;
            }
        }
        target.database = pairs.value(QStringLiteral("initial catalog"));
        target.user = pairs.value(QStringLiteral("user id"));
        target.password =
            pairs.value(QStringLiteral("password"), pairs.value(QStringLiteral("pwd")));
        target.sslMode =
            pairs.value(QStringLiteral("ssl mode"), pairs.value(QStringLiteral("sslmode")))
                .toLower();
        target.sslRootCert = pairs.value(QStringLiteral("ssl root cert"),
                                         pairs.value(QStringLiteral("sslrootcert")));
        if (target.host.isEmpty() || target.database.isEmpty())
            return Error{
                QStringLiteral("连接字符串缺少服务器 (Data Source) 或数据库名 (Initial Catalog)")};
        if (!target.sslMode.isEmpty() && !SslModes.contains(target.sslMode))
            return Error{QStringLiteral("连接字符串的 SSL Mode 不正确: %1 (可用: %2)")
                             .arg(target.sslMode, SslModes.join(QStringLiteral(", ")))};
        // the driver separates its options by ";"
        if (target.sslRootCert.contains(u';') || target.sslRootCert.contains(QChar(0)))
            return Error{QStringLiteral("连接字符串的证书文件名中不能含有 \";\" 或空字符: %1")
                             .arg(target.sslRootCert)};
        return target;
    }
    return Error{QStringLiteral("无法识别的连接字符串: ") + masked(connectionString)};
}

namespace Connection {

QString baseDir() {
    return QCoreApplication::applicationDirPath();
}

QString readOnlyMessage(const QString& file) {
    return QStringLiteral("数据库文件是只读的, 不能在其中登记任何业务: %1. "
                          "请让这个文件 (和它所在的文件夹) 可以写入, 然后重新启动软件.")
        .arg(QDir::toNativeSeparators(file));
}

QString postgresOptions(const ConnectionSpec& target, const Options& options) {
    QStringList parts;
    if (options.timeoutSeconds > 0)
        parts << QStringLiteral("connect_timeout=%1").arg(options.timeoutSeconds);
    if (!target.sslMode.isEmpty())
        parts << QStringLiteral("sslmode=") + target.sslMode;
    if (!target.sslRootCert.isEmpty())
        parts << QStringLiteral("sslrootcert=") + conninfoValue(target.sslRootCert);
    // a server behind a cut cable answers nothing, not even a reset: the
    // keepalives and the user timeout find it (on TCP; a socket folder has none)
    parts << QStringLiteral("keepalives=1")
          << QStringLiteral("keepalives_idle=%1").arg(KeepaliveIdleSeconds)
          << QStringLiteral("keepalives_interval=%1").arg(KeepaliveIntervalSeconds)
          << QStringLiteral("keepalives_count=%1").arg(KeepaliveCount)
          << QStringLiteral("tcp_user_timeout=%1").arg(TcpUserTimeoutMs);
    return parts.join(u';');
}

Status open(const QString& connectionString, const QString& name, const Options& options) {
    auto target = ConnectionSpec::parse(connectionString, baseDir());
    if (!target)
        return Error{target.error()};
    return open(target.value(), name, options);
}

namespace {

struct Opened {
    ConnectionSpec target;
    Options options;
};
QMutex openedMutex;
QHash<QString, Opened> opened; // where each named connection was opened
std::function<void(bool)> reconnectNotice;

} // namespace

Status reopen(const QString& name) {
    std::optional<Opened> last;
    {
        QMutexLocker lock(&openedMutex);
        if (auto it = opened.constFind(name); it != opened.cend())
            last = *it;
    }
    if (!last)
        return Error{QStringLiteral("数据库没有连接")};
    if (reconnectNotice)
        reconnectNotice(true);
    const Status reopened = open(last->target, name, last->options);
    if (reconnectNotice)
        reconnectNotice(false);
    return reopened;
}

void setReconnectNotice(std::function<void(bool)> notice) {
    reconnectNotice = std::move(notice);
}

Status open(const ConnectionSpec& target, const QString& name, const Options& options) {
    close(name);
    {
        QMutexLocker lock(&openedMutex);
        opened.insert(name, Opened{target, options});
    }
    const Dialect& dialect = Dialect::of(target.engine);
    if (dialect.isEmbeddedFile()) {
        if (!options.createMissingFile && !QFileInfo::exists(target.file))
            return Error{QStringLiteral("数据库文件不存在: ") + target.file};
        QSqlDatabase db = QSqlDatabase::addDatabase(dialect.driverName(), name);
        db.setDatabaseName(target.file);
        // A writer waits this long for another one inside the engine, with
        // the window still; a booking then goes on trying with "请稍候"
        // shown (Db::inTransaction and its busy waiter).
        db.setConnectOptions(
            QStringLiteral("QSQLITE_BUSY_TIMEOUT=1000") +
            (options.readOnly ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
        if (!db.open()) {
            const QString message = db.lastError().text();
            return Error{QStringLiteral("无法打开数据库文件 ") + target.file + u": " + message};
        }
        // SQLite opens a file it may not write for reading without a word;
        // found now, not at the first booking with the engine's own text
        if (!options.readOnly && sqliteReadOnly(db)) {
            close(name);
            return Error{readOnlyMessage(target.file)};
        }
        QSqlQuery pragma(db);
        // WAL lets the lists read while a booking writes; FULL makes a
        // committed booking survive a power cut.
        for (const char* statement :
             {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL", "PRAGMA foreign_keys=ON"}) {
            // a file opened for reading keeps its journal as it is
            if (options.readOnly && qstrcmp(statement, "PRAGMA foreign_keys=ON") != 0)
                continue;
            if (!pragma.exec(QString::fromLatin1(statement))) {
                const QString message = pragma.lastError().text();
                close(name);
                return Error{QStringLiteral("无法打开数据库文件 ") + target.file + u": " + message};
            }
        }
        return {};
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(dialect.driverName(), name);
    db.setHostName(target.host);
    db.setPort(target.port);
    db.setDatabaseName(target.database);
    db.setUserName(target.user);
    db.setPassword(target.password);
    db.setConnectOptions(postgresOptions(target, options));
    if (!db.open()) {
        const QString message = db.lastError().text();
        close(name);
        return Error{QStringLiteral("无法连接数据库服务器: ") + message};
    }
    QSqlQuery setup(db);
    setup.exec(QStringLiteral("SET client_encoding TO 'UTF8'"));
    return {};
}

void close(const QString& name) {
    // the connection's kept statements go first
    KeptStatements::forget(name);
    if (!QSqlDatabase::contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen() && name == Shared) {
            // the program's connection leaves the statistics of the tables
            // it used fresh for the next start
            QSqlQuery refresh(db);
            for (const QString& statement : Dialect::ofDriver(db.driverName()).refreshStatistics())
                refresh.exec(statement);
        }
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

std::optional<ConnectionSpec> targetOf(const QString& name) {
    const QSqlDatabase db = QSqlDatabase::database(name, false);
    if (!db.isValid() || !db.isOpen())
        return std::nullopt;
    ConnectionSpec target;
    if (Dialect::ofDriver(db.driverName()).isEmbeddedFile()) {
        const QString file = db.databaseName();
        if (file.isEmpty() || file == QStringLiteral(":memory:") || file.startsWith(u"file:"))
            return std::nullopt;
        target.engine = Engine::Sqlite;
        target.file = file;
        return target;
    }
    target.engine = Engine::Postgres;
    target.host = db.hostName();
    target.port = db.port() > 0 ? db.port() : 5432;
    target.database = db.databaseName();
    target.user = db.userName();
    target.password = db.password();
    // the TLS settings, back from the options the connection was opened with
    for (const QString& option : db.connectOptions().split(u';', Qt::SkipEmptyParts)) {
        const QString key = option.section(u'=', 0, 0);
        QString value = option.section(u'=', 1);
        if (key == QLatin1String("sslmode"))
            target.sslMode = value;
        if (key == QLatin1String("sslrootcert") && value.size() >= 2) {
            value = value.mid(1, value.size() - 2);
            value.replace(QStringLiteral("\\'"), QStringLiteral("'"));
            value.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
            target.sslRootCert = value;
        }
    }
    return target;
}

} // namespace Connection
