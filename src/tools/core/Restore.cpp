#include "tools/core/Restore.h"

#include "store/Clock.h"
#include "store/Db.h"
#include "store/Dialect.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Restore {

namespace {

const QString WorkConnection = QStringLiteral("restore-work");
const QString TargetConnection = QStringLiteral("restore-target");

struct ClosesAtEnd {
    QString name;
    ~ClosesAtEnd() { Connection::close(name); }
};

QString native(const QString& file) {
    return QDir::toNativeSeparators(file);
}

// Steps of the whole restore: the copy of the backup up to 20, the rows
// into the database up to 95.
ProgressStep part(const ProgressStep& progress, int from, int to) {
    return [=](int percent) { return !progress || progress(from + percent * (to - from) / 100); };
}

// A copy of the backup, without its manifest and of this program's schema
// version, whose figures equal the manifest's.
Status prepareCopy(const QString& backupFile, const QString& work,
                   const Backup::Manifest& manifest) {
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(work + suffix);
    if (!QFile::copy(backupFile, work))
        return Error{QStringLiteral("不能复制备份文件到 %1, 没有做任何改动.").arg(native(work))};
    QFile(work).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ConnectionSpec workFile;
    workFile.engine = Engine::Sqlite;
    workFile.file = work;
    Connection::Options options;
    options.createMissingFile = false;
    if (Status opened = Connection::open(workFile, WorkConnection, options); !opened)
        return opened;
    ClosesAtEnd closes{WorkConnection};
    const Db copy(WorkConnection);
    if (auto dropped = copy.exec(QStringLiteral("drop table backup_manifest")); !dropped)
        return Error{dropped.error()};
    if (Status upgraded = Schema::openOrCreate(copy); !upgraded)
        return upgraded;
    auto figures = ShopFigures::read(copy);
    if (!figures)
        return Error{figures.error()};
    if (const QString differs = ShopFigures::difference(manifest.figures, figures.value());
        !differs.isEmpty())
        return Error{QStringLiteral("备份升级后的内容与备份清单不符: ") + differs};
    return {};
}

Result<Outcome> intoFile(const QString& backupFile, const QString& target,
                         const Backup::Manifest& manifest, const ProgressStep& progress) {
    const QString work = target + QStringLiteral(".restoring");
    const auto discard = [&](const QString& why) -> Result<Outcome> {
        Connection::close(WorkConnection);
        for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(work + suffix);
        return Error{why};
    };
    if (Status prepared = prepareCopy(backupFile, work, manifest); !prepared)
        return discard(prepared.error());
    if (progress && !progress(90))
        return discard(QStringLiteral("操作已取消, 没有做任何改动."));
    Outcome outcome{manifest, {}};
    if (QFileInfo::exists(target)) {
        outcome.keptAside = target + QStringLiteral(".replaced_") +
                            Clock::now().toString(QStringLiteral("yyyyMMdd_hhmmss"));
        // the log of a file not closed cleanly goes along with it
        if (!QFile::rename(target, outcome.keptAside))
            return discard(QStringLiteral("不能把数据库文件 %1 改名保留, 没有做任何改动.")
                               .arg(native(target)));
        for (const QString& suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")})
            if (QFileInfo::exists(target + suffix))
                QFile::rename(target + suffix, outcome.keptAside + suffix);
    }
    if (!QFile::rename(work, target)) {
        if (!outcome.keptAside.isEmpty()) {
            QFile::rename(outcome.keptAside, target);
            for (const QString& suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")})
                QFile::rename(outcome.keptAside + suffix, target + suffix);
        }
        return discard(
            QStringLiteral("不能把恢复的数据放到 %1, 没有做任何改动.").arg(native(target)));
    }
    if (progress)
        progress(100);
    return outcome;
}

Result<Outcome> intoServer(const QString& backupFile, const ConnectionSpec& target,
                           const QString& keepFolder, const Backup::Manifest& manifest,
                           const ProgressStep& progress) {
    if (Status opened = Connection::open(target, TargetConnection); !opened)
        return Error{opened.error()};
    ClosesAtEnd closesTarget{TargetConnection};
    const Db db(TargetConnection);
    if (Status allowed = mayReplace(TargetConnection); !allowed)
        return Error{allowed.error()};
    auto version = Schema::version(db);
    if (!version)
        return Error{version.error()};
    if (version.value() != Schema::CurrentVersion)
        return Error{QStringLiteral("数据库版本 %1 与本程序 (版本 %2) 不同, 请先用 shop-admin "
                                    "upgrade 升级后再恢复")
                         .arg(version.value())
                         .arg(Schema::CurrentVersion)};

    const QString work = QDir::temp().filePath(
        QStringLiteral("shop-restore-%1.db").arg(QCoreApplication::applicationPid()));
    struct RemovesAtEnd {
        QString file;
        ~RemovesAtEnd() {
            for (const QString& suffix :
                 {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
                QFile::remove(file + suffix);
        }
    } removes{work};
    if (Status prepared = prepareCopy(backupFile, work, manifest); !prepared)
        return Error{prepared.error()};
    if (progress && !progress(10))
        return Error{QStringLiteral("操作已取消, 没有做任何改动.")};

    // what is replaced is kept aside as a backup of its own
    Outcome outcome{manifest, {}};
    if (!QDir().mkpath(keepFolder))
        return Error{
            QStringLiteral("不能建立备份文件夹 %1, 没有做任何改动.").arg(native(keepFolder))};
    outcome.keptAside =
        QDir(keepFolder)
            .filePath(QStringLiteral("恢复前_") + Backup::defaultFileName(Clock::now()));
    auto kept = Backup::make(db, outcome.keptAside, part(progress, 10, 40));
    if (!kept)
        return Error{QStringLiteral("恢复前备份现有数据失败, 没有做任何改动: ") + kept.error()};

    ConnectionSpec workSpec;
    workSpec.engine = Engine::Sqlite;
    workSpec.file = work;
    Connection::Options readOnly;
    readOnly.createMissingFile = false;
    readOnly.readOnly = true;
    if (Status opened = Connection::open(workSpec, WorkConnection, readOnly); !opened)
        return Error{opened.error()};
    ClosesAtEnd closesWork{WorkConnection};
    const Db copy(WorkConnection);
    const Status restored = db.inSchemaTransaction([&]() -> Status {
        if (Status copied = TableCopy::copyAll(copy, db, part(progress, 40, 95)); !copied)
            return copied;
        auto figures = ShopFigures::read(db);
        if (!figures)
            return Error{figures.error()};
        if (const QString differs = ShopFigures::difference(manifest.figures, figures.value());
            !differs.isEmpty())
            return Error{QStringLiteral("恢复后的数据与备份不符: ") + differs};
        return {};
    });
    if (!restored)
        return Error{restored.error() + QStringLiteral("\n数据库没有改动.")};
    if (progress)
        progress(100);
    return outcome;
}

} // namespace

Status mayReplace(const QString& connectionName) {
    const Db db(connectionName);
    if (db.dialect().isEmbeddedFile())
        return {};
    auto allowed = db.mayChangeSchema();
    if (!allowed)
        return Error{allowed.error()};
    if (!allowed.value())
        return Error{QStringLiteral("数据库用户 %1 不是数据表的所有者, 不能恢复或导入数据. "
                                    "请用数据库所有者的连接运行 shop-admin.")
                         .arg(db.handle().userName())};
    auto others = db.scalarInteger(
        QStringLiteral("select count(*) from pg_stat_activity where datname = current_database() "
                       "and pid <> pg_backend_pid() and backend_type = 'client backend'"));
    if (!others)
        return Error{others.error()};
    if (others.value().value_or(0) > 0)
        return Error{QStringLiteral("还有 %1 个其他连接在使用这个数据库 (其他工作站或程序), "
                                    "请先让它们退出后再恢复或导入.")
                         .arg(others.value().value_or(0))};
    return {};
}

Result<Outcome> run(const QString& backupFile, const ConnectionSpec& target,
                    const QString& keepFolder, const ProgressStep& progress) {
    auto manifest = Backup::check(backupFile);
    if (!manifest)
        return Error{manifest.error()};
    if (Dialect::of(target.engine).isEmbeddedFile())
        return intoFile(backupFile, target.file, manifest.value(), progress);
    return intoServer(backupFile, target, keepFolder, manifest.value(), progress);
}

} // namespace Restore
