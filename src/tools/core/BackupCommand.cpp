#include "tools/core/BackupCommand.h"

#include "store/Connection.h"
#include "store/Db.h"
#include "tools/core/Backup.h"
#include "tools/core/Restore.h"

#include <QDir>

namespace BackupCommand {

namespace {

const QString AdminConnection = QStringLiteral("shop-admin");

int fail(QTextStream& err, const QString& message) {
    err << message << '\n';
    err.flush();
    return 1;
}

ProgressStep printer(QTextStream& out) {
    return [&out](int percent) {
        out << "progress " << percent << '\n';
        out.flush();
        return true;
    };
}

} // namespace

int backup(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    if (arguments.size() != 2) {
        err << "用法: shop-admin backup CONNECTION-STRING FILE\n";
        return 2;
    }
    auto target = ConnectionSpec::parse(arguments.at(0), QDir::currentPath());
    if (!target)
        return fail(err, target.error());
    Connection::Options options;
    options.createMissingFile = false;
    if (Status opened = Connection::open(target.value(), AdminConnection, options); !opened)
        return fail(err, opened.error());
    const QString file = QDir::current().absoluteFilePath(arguments.at(1));
    auto made = Backup::make(Db(AdminConnection), file, printer(out));
    Connection::close(AdminConnection);
    if (!made)
        return fail(err, made.error());
    out << "已备份并核对: " << QDir::toNativeSeparators(file) << '\n'
        << Backup::describe(made.value()) << '\n';
    return 0;
}

int restore(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    if (arguments.size() != 2) {
        err << "用法: shop-admin restore FILE CONNECTION-STRING\n";
        return 2;
    }
    auto target = ConnectionSpec::parse(arguments.at(1), QDir::currentPath());
    if (!target)
        return fail(err, target.error());
    const QString file = QDir::current().absoluteFilePath(arguments.at(0));
    auto restored = Restore::run(
        file, target.value(),
        Backup::automaticFolder(QDir::current().filePath(QStringLiteral("de.ini"))), printer(out));
    if (!restored)
        return fail(err, restored.error());
    out << "已恢复并核对: " << Backup::describe(restored.value().manifest) << '\n';
    if (!restored.value().keptAside.isEmpty())
        out << "原有数据保留在: " << QDir::toNativeSeparators(restored.value().keptAside) << '\n';
    return 0;
}

} // namespace BackupCommand
