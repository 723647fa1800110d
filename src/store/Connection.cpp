#include "store/Connection.h"

#include "store/Db.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

QHash<QString, QString> splitPairs(const QString& text) {
    QHash<QString, QString> pairs;
    for (const QString& part : text.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq <= 0)
            continue;
        pairs.insert(part.left(eq).trimmed().toLower(), part.mid(eq + 1).trimmed());
    }
    return pairs;
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

Result<ConnectionSpec> ConnectionSpec::parse(const QString& connectionString,
                                             const QString& baseDir) {
    const auto pairs = splitPairs(connectionString);
    const QString provider = pairs.value(QStringLiteral("provider"));
    const QString source = pairs.value(QStringLiteral("data source"));
    ConnectionSpec target;
    if (isFileProvider(provider)) {
        if (source.isEmpty())
            return Error{QStringLiteral("连接字符串没有指定数据库文件 (Data Source)")};
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
        target.password = pairs.value(QStringLiteral("password"));
        if (target.host.isEmpty() || target.database.isEmpty())
            return Error{
                QStringLiteral("连接字符串缺少服务器 (Data Source) 或数据库名 (Initial Catalog)")};
        return target;
    }
    return Error{QStringLiteral("无法识别的连接字符串: ") + connectionString};
}

namespace Connection {

QString baseDir() {
    return QCoreApplication::applicationDirPath();
}

Status open(const QString& connectionString, const QString& name, const Options& options) {
    auto target = ConnectionSpec::parse(connectionString, baseDir());
    if (!target)
        return Error{target.error()};
    return open(target.value(), name, options);
}

Status open(const ConnectionSpec& target, const QString& name, const Options& options) {
    close(name);
    if (target.engine == Engine::Sqlite) {
        if (!options.createMissingFile && !QFileInfo::exists(target.file))
            return Error{QStringLiteral("数据库文件不存在: ") + target.file};
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(target.file);
        // a writer waits this long for another one before giving up
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open()) {
            const QString message = db.lastError().text();
            return Error{QStringLiteral("无法打开数据库文件 ") + target.file + u": " + message};
        }
        QSqlQuery pragma(db);
        // WAL lets the lists read while a booking writes; FULL makes a
        // committed booking survive a power cut.
        for (const char* statement :
             {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL", "PRAGMA foreign_keys=ON"}) {
            if (!pragma.exec(QString::fromLatin1(statement))) {
                const QString message = pragma.lastError().text();
                close(name);
                return Error{QStringLiteral("无法打开数据库文件 ") + target.file + u": " + message};
            }
        }
        return {};
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(target.host);
    db.setPort(target.port);
    db.setDatabaseName(target.database);
    db.setUserName(target.user);
    db.setPassword(target.password);
    if (options.timeoutSeconds > 0)
        db.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(options.timeoutSeconds));
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
    Db::forgetStatements(name);
    if (!QSqlDatabase::contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen() && name == Shared) {
            // the program's connection leaves the statistics of the tables
            // it used fresh for the next start
            QSqlQuery refresh(db);
            for (const QString& statement : Db(name).dialect().refreshStatistics())
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
    if (db.driverName() == QStringLiteral("QSQLITE")) {
        const QString file = db.databaseName();
        if (file.isEmpty() || file == QStringLiteral(":memory:") || file.startsWith(u"file:"))
            return std::nullopt;
        target.engine = Engine::Sqlite;
        target.file = file;
        return target;
    }
    if (db.driverName() == QStringLiteral("QPSQL")) {
        target.engine = Engine::Postgres;
        target.host = db.hostName();
        target.port = db.port() > 0 ? db.port() : 5432;
        target.database = db.databaseName();
        target.user = db.userName();
        target.password = db.password();
        return target;
    }
    return std::nullopt;
}

} // namespace Connection
