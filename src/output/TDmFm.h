#pragma once

#include <QString>
#include <functional>

class QDialog;
class QWidget;

// The program's one link from the output services to the desktop: where
// their messages go, how a written spreadsheet is opened and where exports
// are saved. Start-up may route the messages to the program's prompt
// service; tests replace each part with a double, so that no real modal
// box, preview or spreadsheet program appears.
struct TDmFm {
    // Shows a message with one OK button. Default: a QMessageBox warning.
    std::function<void(QWidget* parent, const QString& caption, const QString& text)> showMessage;
    // Opens a written file with the desktop's application for it; false when
    // none can. Default: QDesktopServices::openUrl.
    std::function<bool(const QString& path)> openFile;
    // Runs a modal dialog (the print preview). Default: QDialog::exec.
    std::function<int(QDialog& dialog)> runDialog;
    // Folder the spreadsheets are written to. Default: the user's documents
    // folder, sub-folder "导出" (created when missing).
    QString exportFolder;

    static TDmFm& current();
    // Back to the defaults above.
    void reset();
};
