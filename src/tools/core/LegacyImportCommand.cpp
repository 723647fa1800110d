#include "tools/core/LegacyImportCommand.h"

#include "store/Connection.h"
#include "store/Db.h"
#include "tools/core/LegacyImport.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <atomic>
#include <csignal>

namespace {

const QString ImportConnection = QStringLiteral("shop-admin-import");

std::atomic<bool> cancelRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void requestCancel(int) {
    cancelRequested.store(true);
}

int usage(QTextStream& err) {
    err << "用法:\n"
           "  shop-admin import-mdb FILE.mdb CONNECTION-STRING [--report 报告文件]\n"
           "                      把旧的 Access 数据文件导入新建的数据库\n"
           "  shop-admin import-mdb --preview FILE.mdb [--report 报告文件]\n"
           "                      只读文件, 列出各表行数和将被拒绝的行\n";
    return 2;
}

Status saveReport(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        return Error{QStringLiteral("报告文件写不进去: %1 (%2)").arg(path, file.errorString())};
    return {};
}

} // namespace

namespace LegacyImportCommand {

int run(const QStringList& given, QTextStream& out, QTextStream& err) {
    QStringList arguments = given;
    QString reportPath;
    if (const int at = arguments.indexOf(QStringLiteral("--report")); at >= 0) {
        if (at + 1 >= arguments.size())
            return usage(err);
        reportPath = arguments.at(at + 1);
        arguments.remove(at, 2);
    }
    const bool previewOnly = arguments.removeAll(QStringLiteral("--preview")) > 0;
    if (arguments.size() != (previewOnly ? 1 : 2))
        return usage(err);
    if (reportPath.isEmpty())
        reportPath = QDir::current().filePath(
            QStringLiteral("导入报告_%1.txt")
                .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss"))));
    const QString file = arguments.at(0);

    cancelRequested.store(false);
    std::signal(SIGTERM, requestCancel);
    std::signal(SIGINT, requestCancel);
    auto progress = [&](const QString& table, qint64 done, qint64 total) {
        out << "progress " << table << ' ' << done << ' ' << total << '\n';
        out.flush();
    };

    Result<LegacyImportReport> report = Error{QString()};
    if (previewOnly) {
        report = LegacyImport::preview(file, progress, &cancelRequested);
    } else {
        // "-": the connection string is the first line on standard input,
        // so that a password never shows in the list of processes
        QString connectionString = arguments.at(1);
        if (connectionString == QLatin1String("-"))
            connectionString = QTextStream(stdin).readLine();
        auto target = ConnectionSpec::parse(connectionString, QDir::currentPath());
        if (!target) {
            err << "错误: " << target.error() << '\n';
            return 1;
        }
        Connection::Options options;
        options.timeoutSeconds = 10;
        if (Status opened = Connection::open(target.value(), ImportConnection, options); !opened) {
            err << "错误: " << opened.error() << '\n';
            return 1;
        }
        report = LegacyImport::importInto(file, Db(ImportConnection), progress, &cancelRequested);
        Connection::close(ImportConnection);
    }
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    if (!report) {
        err << "错误: " << report.error() << '\n';
        return 1;
    }
    const QString text = report.value().text();
    out << text;
    // the rows are in: a report that cannot be saved is said, not a failure
    if (Status saved = saveReport(reportPath, text); !saved)
        err << "错误: " << saved.error() << '\n';
    else
        out << "report " << QFileInfo(reportPath).absoluteFilePath() << '\n';
    return 0;
}

} // namespace LegacyImportCommand
