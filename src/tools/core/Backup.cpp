#include "tools/core/Backup.h"

#include "store/Clock.h"
#include "store/Connection.h"
#include "store/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSysInfo>
#include <QThread>
#include <sqlite3.h>

namespace Backup {

namespace {

const QString CopyConnection = QStringLiteral("backup-copy");
const QString Stopped = QStringLiteral("操作已取消, 没有做任何改动.");

QString notBackup(const QString& file) {
    return QStringLiteral("该文件不是本系统的备份文件: %1").arg(QDir::toNativeSeparators(file));
}

QString damaged(const QString& file, const QString& why) {
    return QStringLiteral("备份文件已损坏: %1\n%2").arg(QDir::toNativeSeparators(file), why);
}

// The disk or the folder failed a write: said so, in words a clerk reads.
QString writeFailed(const QString& file, const QString& engineText) {
    const QString lower = engineText.toLower();
    if (lower.contains(QLatin1String("full")) || lower.contains(QLatin1String("no space")))
        return QStringLiteral("磁盘空间不足, 备份没有完成: %1").arg(QDir::toNativeSeparators(file));
    return QStringLiteral("不能写入备份文件 %1, 备份没有完成: %2")
        .arg(QDir::toNativeSeparators(file), engineText);
}

// The connection closes when the scope ends, whatever happens.
struct ClosesAtEnd {
    QString name;
    ~ClosesAtEnd() { Connection::close(name); }
};

Status openCopy(const QString& file, bool readOnly) {
    ConnectionSpec target;
    target.engine = Engine::Sqlite;
    target.file = file;
    Connection::Options options;
    options.createMissingFile = !readOnly;
    options.readOnly = readOnly;
    return Connection::open(target, CopyConnection, options);
}

Status integrityOf(const Db& copy, const QString& file) {
    auto rows = copy.select(QStringLiteral("PRAGMA integrity_check"));
    if (!rows)
        return Error{damaged(file, rows.error())};
    if (!rows.value().next() || rows.value().query().value(0).toString() != QLatin1String("ok"))
        return Error{damaged(file, QStringLiteral("SQLite 的完整性检查没有通过"))};
    return {};
}

Status writeManifest(const Db& copy, const Manifest& manifest) {
    return copy.inSchemaTransaction([&]() -> Status {
        if (auto made = copy.exec(QStringLiteral(
                "create table backup_manifest (key TEXT PRIMARY KEY, value TEXT NOT NULL)"));
            !made)
            return Error{made.error()};
        const QList<std::pair<QString, QString>> entries = {
            {QStringLiteral("format"), QStringLiteral("shop-backup 1")},
            {QStringLiteral("schema_version"), QString::number(manifest.schemaVersion)},
            {QStringLiteral("made_at"), Clock::formatDateTime(manifest.madeAt)},
            {QStringLiteral("workstation"), manifest.workstation},
            {QStringLiteral("engine"), manifest.engine},
            {QStringLiteral("figures"), manifest.figures.toJson()},
        };
        for (const auto& [key, value] : entries) {
            if (auto written = copy.exec(
                    QStringLiteral("insert into backup_manifest (key, value) values (?, ?)"),
                    {key, value});
                !written)
                return Error{written.error()};
        }
        return {};
    });
}

sqlite3* sqliteHandle(const Db& db) {
    const QVariant handle = db.handle().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

// An SQLite source is copied page by page by SQLite's online backup, on
// the source's own connection inside its read snapshot.
Status copyPages(const Db& source, const QString& part, const ProgressStep& progress) {
    sqlite3* from = sqliteHandle(source);
    if (!from)
        return Error{QStringLiteral("数据库没有连接")};
    sqlite3* to = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(part).constData(), &to,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        const QString why = QString::fromUtf8(sqlite3_errmsg(to));
        sqlite3_close(to);
        return Error{writeFailed(part, why)};
    }
    sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup) {
        const QString why = QString::fromUtf8(sqlite3_errmsg(to));
        sqlite3_close(to);
        return Error{writeFailed(part, why)};
    }
    int rc = SQLITE_OK;
    bool stopped = false;
    while ((rc = sqlite3_backup_step(backup, 256)) == SQLITE_OK || rc == SQLITE_BUSY ||
           rc == SQLITE_LOCKED) {
        const int total = sqlite3_backup_pagecount(backup);
        const int left = sqlite3_backup_remaining(backup);
        if (progress && !progress(total == 0 ? 100 : int((total - left) * 90LL / total))) {
            stopped = true;
            break;
        }
        if (rc != SQLITE_OK)
            sqlite3_sleep(20);
    }
    sqlite3_backup_finish(backup);
    const QString why = QString::fromUtf8(sqlite3_errmsg(to));
    const int closed = sqlite3_close(to);
    if (stopped)
        return Error{Stopped};
    if (rc != SQLITE_DONE || closed != SQLITE_OK)
        return Error{writeFailed(part, why)};
    return {};
}

// A server is read row by row in its snapshot into a new file with the
// schema's tables.
Status copyRows(const Db& source, const QString& part, const ProgressStep& progress) {
    ClosesAtEnd closes{CopyConnection};
    if (Status opened = openCopy(part, false); !opened)
        return Error{writeFailed(part, opened.error())};
    const Db copy(CopyConnection);
    if (Status made = Schema::create(copy); !made)
        return Error{writeFailed(part, made.error())};
    return copy.inSchemaTransaction([&] {
        return TableCopy::copyAll(
            source, copy, [&](int percent) { return !progress || progress(percent * 9 / 10); });
    });
}

Result<Manifest> readManifest(const Db& copy, const QString& file) {
    auto rows = copy.select(QStringLiteral("select key, value from backup_manifest"));
    if (!rows)
        return Error{notBackup(file)};
    QMap<QString, QString> entries;
    while (rows.value().next())
        entries.insert(rows.value().text(QStringLiteral("key")),
                       rows.value().text(QStringLiteral("value")));
    if (entries.value(QStringLiteral("format")) != QLatin1String("shop-backup 1"))
        return Error{notBackup(file)};
    Manifest manifest;
    bool ok = false;
    manifest.schemaVersion = entries.value(QStringLiteral("schema_version")).toInt(&ok);
    const auto figures = ShopFigures::fromJson(entries.value(QStringLiteral("figures")));
    if (!ok || !figures)
        return Error{damaged(file, QStringLiteral("备份清单不完整"))};
    manifest.figures = *figures;
    manifest.madeAt = Clock::parseDateTime(entries.value(QStringLiteral("made_at")));
    manifest.workstation = entries.value(QStringLiteral("workstation"));
    manifest.engine = entries.value(QStringLiteral("engine"));
    return manifest;
}

} // namespace

QString defaultFileName(const QDateTime& at) {
    return QStringLiteral("备份_") + at.toString(QStringLiteral("yyyyMMdd_hhmmss")) +
           QStringLiteral(".bak");
}

QString automaticFolder(const QString& iniPath) {
    return QFileInfo(iniPath).absoluteDir().filePath(QStringLiteral("备份"));
}

QStringList filesIn(const QString& folder) {
    QStringList files;
    const QFileInfoList found =
        QDir(folder).entryInfoList({QStringLiteral("*.bak")}, QDir::Files, QDir::Time);
    for (const QFileInfo& info : found)
        files << info.absoluteFilePath();
    return files;
}

Result<Manifest> make(const Db& source, const QString& file, const ProgressStep& progress) {
    if (QFileInfo::exists(file))
        return Error{QStringLiteral("文件已经存在: %1").arg(QDir::toNativeSeparators(file))};
    auto version = Schema::version(source);
    if (!version)
        return Error{version.error()};
    if (version.value() != Schema::CurrentVersion)
        return Error{QStringLiteral("数据库版本 %1 与本程序 (版本 %2) 不同, 请先用 shop-admin "
                                    "upgrade 升级后再备份")
                         .arg(version.value())
                         .arg(Schema::CurrentVersion)};
    const QString part = file + QStringLiteral(".part");
    QFile::remove(part);
    Manifest manifest;
    manifest.schemaVersion = version.value();
    manifest.madeAt = Clock::now();
    manifest.workstation = QSysInfo::machineHostName();
    manifest.engine =
        source.dialect().isEmbeddedFile() ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL");
    // the figures and the rows of one moment
    Status copied = source.inReadSnapshot([&]() -> Status {
        auto figures = ShopFigures::read(source);
        if (!figures)
            return Error{figures.error()};
        manifest.figures = figures.value();
        return source.dialect().isEmbeddedFile() ? copyPages(source, part, progress)
                                                 : copyRows(source, part, progress);
    });
    const auto discard = [&](const QString& why) -> Result<Manifest> {
        Connection::close(CopyConnection);
        QFile::remove(part);
        QFile::remove(part + QStringLiteral("-journal"));
        QFile::remove(part + QStringLiteral("-wal"));
        QFile::remove(part + QStringLiteral("-shm"));
        return Error{why};
    };
    if (!copied)
        return discard(copied.error());
    {
        ClosesAtEnd closes{CopyConnection};
        if (Status opened = openCopy(part, false); !opened)
            return discard(writeFailed(part, opened.error()));
        const Db copy(CopyConnection);
        // one file, without a log beside it
        if (auto journal = copy.exec(QStringLiteral("PRAGMA journal_mode=DELETE")); !journal)
            return discard(writeFailed(part, journal.error()));
        if (Status whole = integrityOf(copy, part); !whole)
            return discard(whole.error());
        auto figures = ShopFigures::read(copy);
        if (!figures)
            return discard(figures.error());
        if (const QString differs = ShopFigures::difference(manifest.figures, figures.value());
            !differs.isEmpty())
            return discard(QStringLiteral("备份的内容与数据库不符, 备份没有完成: ") + differs);
        if (Status written = writeManifest(copy, manifest); !written)
            return discard(writeFailed(part, written.error()));
    }
    if (progress && !progress(100))
        return discard(Stopped);
    if (!QFile::rename(part, file))
        return discard(writeFailed(file, QStringLiteral("不能改名")));
    return manifest;
}

QString describe(const Manifest& manifest) {
    qint64 rows = 0;
    for (const TableFigures& table : manifest.figures.tables)
        rows += table.rows;
    return QStringLiteral("数据库版本 %1, %2 张表共 %3 条记录, 备份于 %4 (%5, %6)")
        .arg(manifest.schemaVersion)
        .arg(manifest.figures.tables.size())
        .arg(rows)
        .arg(manifest.madeAt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), manifest.workstation,
             manifest.engine);
}

Result<Manifest> makeApart(const ConnectionSpec& target, const QString& file,
                           const ProgressStep& progress) {
    const QString apart = QStringLiteral("backup-apart-%1")
                              .arg(reinterpret_cast<quintptr>(QThread::currentThreadId()));
    Connection::Options options;
    options.createMissingFile = false;
    if (Status opened = Connection::open(target, apart, options); !opened)
        return Error{opened.error()};
    ClosesAtEnd closes{apart};
    return make(Db(apart), file, progress);
}

Result<Manifest> check(const QString& file) {
    if (!QFileInfo(file).isFile())
        return Error{QStringLiteral("备份文件不存在: %1").arg(QDir::toNativeSeparators(file))};
    {
        QFile head(file);
        if (!head.open(QIODevice::ReadOnly) || !head.read(16).startsWith("SQLite format 3"))
            return Error{notBackup(file)};
    }
    ClosesAtEnd closes{CopyConnection};
    if (Status opened = openCopy(file, true); !opened)
        return Error{notBackup(file)};
    const Db copy(CopyConnection);
    auto manifest = readManifest(copy, file);
    if (!manifest)
        return manifest;
    if (manifest.value().schemaVersion > Schema::CurrentVersion)
        return Error{QStringLiteral("备份文件来自较新的程序 (数据库版本 %1), 本程序只能恢复版本 %2 "
                                    "及以前的备份, 请先升级程序")
                         .arg(manifest.value().schemaVersion)
                         .arg(Schema::CurrentVersion)};
    if (Status whole = integrityOf(copy, file); !whole)
        return Error{whole.error()};
    auto figures = ShopFigures::read(copy);
    if (!figures)
        return Error{damaged(file, figures.error())};
    if (const QString differs = ShopFigures::difference(manifest.value().figures, figures.value());
        !differs.isEmpty())
        return Error{damaged(file, differs)};
    return manifest;
}

} // namespace Backup
