#include "output/TDmFm.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QMessageBox>
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
    showMessage = [](QWidget* parent, const QString& caption, const QString& text) {
        QMessageBox::warning(parent, caption, text, QMessageBox::Ok);
    };
    openFile = [](const QString& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    runDialog = [](QDialog& dialog) { return dialog.exec(); };
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    exportFolder = documents + QStringLiteral("/导出");
}
