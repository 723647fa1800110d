#pragma once

#include <QString>
#include <functional>

// The output services' link to the desktop: how a written spreadsheet is
// opened and where exports are saved. Tests replace each part, so that no
// spreadsheet program appears. (Their messages go through Prompt and the
// print preview through ModalSeam::run, like every other box and window.)
struct TDmFm {
    // Opens a written file with the desktop's application for it; false when
    // none can. Default: QDesktopServices::openUrl.
    std::function<bool(const QString& path)> openFile;
    // Folder the spreadsheets are written to. Default: the user's documents
    // folder, sub-folder "导出" (created when missing).
    QString exportFolder;

    static TDmFm& current();
    // Back to the defaults above.
    void reset();
};
