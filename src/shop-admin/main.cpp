#include "shop-admin/core/AdminCommand.h"
#include "store/Translations.h"
#include "tools/core/BackupCommand.h"
#include "tools/core/LegacyImportCommand.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    Translations::installQtChinese(app);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    if (arguments.value(0) == QLatin1String("backup"))
        return BackupCommand::backup(arguments.mid(1), out, err);
    if (arguments.value(0) == QLatin1String("restore"))
        return BackupCommand::restore(arguments.mid(1), out, err);
    if (arguments.value(0) == QLatin1String("import-mdb"))
        return LegacyImportCommand::run(arguments.mid(1), out, err);
    return AdminCommand::run(arguments, out, err);
}
