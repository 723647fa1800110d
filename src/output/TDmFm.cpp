#include "output/TDmFm.h"

#include <QDesktopServices>
#include <QDir>
#include <QStandardPaths>
#include <QUrl>

TDmFm& TDmFm::current() {
    static TDmFm module = [] {
        TDmFm m;
        m.reset();
        return m;
    }();
    return module;
}

void TDmFm::reset() {
    openFile = [](const QString& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    exportFolder = documents + QStringLiteral("/导出");
}
