#include "store/Connection.h"
#include "store/Db.h"
#include "store/IniFile.h"
#include "store/Schema.h"
#include "store/ShopConfig.h"

#include <QApplication>
#include <QMessageBox>

// Until the login and main windows exist: open the configured database,
// create it when it is new, and report what was found.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const ShopConfig config = ShopConfig::load(IniFile(IniFile::defaultPath()));
    QString report;
    if (Status opened = Connection::open(config.connectionString); !opened) {
        report = QStringLiteral("数据库连接失败,选择数据库.\n") + opened.error();
    } else if (Status ready = Schema::openOrCreate(Db()); !ready) {
        report = ready.error();
    } else {
        auto members = Db().scalarInteger(QStringLiteral("select count(*) from 会员库"));
        report = QStringLiteral("%1\n数据库已打开, 版本 %2, 会员 %3 位")
                     .arg(config.softName)
                     .arg(Schema::CurrentVersion)
                     .arg(members ? members.value().value_or(0) : 0);
    }
    QMessageBox::information(nullptr, config.softName, report);
    return 0;
}
