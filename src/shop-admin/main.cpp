#include "store/AdminCommand.h"
#include "store/Translations.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    Translations::installQtChinese(app);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    return AdminCommand::run(arguments, out, err);
}
