#include "AppTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>

QString writeIni(const QString& folder, const IniLines& part1) {
    const QString path = QDir(folder).absoluteFilePath(QStringLiteral("de.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    QString text = QStringLiteral("[part1]\nsoftname=测试音像店\ntel=010-1234\nCompany=测试公司\n"
                                  "Web=www.test.cn\nEmail=a@test.cn\naddr=学院路\n");
    for (const auto& [key, value] : part1)
        text += key + u'=' + value + u'\n';
    text += QStringLiteral("[part2]\nHyGuiHuanShiTiShi=0\n");
    file.write(text.toUtf8());
    return path;
}

QString pgServer() {
    const QString host = qEnvironmentVariable("SHOP_TEST_PG_HOST");
    if (host.isEmpty())
        return {};
    return host + u':' + qEnvironmentVariable("SHOP_TEST_PG_PORT", QStringLiteral("5432"));
}

QString pgUser() {
    return qEnvironmentVariable("SHOP_TEST_PG_USER", QStringLiteral("postgres"));
}

int dialogCount() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QDialog*>(widget))
            ++count;
    }
    return count;
}
