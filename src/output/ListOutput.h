#pragma once

#include "output/core/ReportTemplates.h"
#include "store/ListQuery.h"

#include <QMargins>
#include <QRect>
#include <QString>

class QWidget;

// The "EXCEL", "打印" and "打印条码" buttons of every list window, one call
// each. They read the list again from its first row through the window's
// ListQuery, so they see exactly the rows and order on screen, and they
// never write to the database. Messages go through Prompt::error
// (caption "错误"); no call throws or leaves a half-written file.
namespace ListOutput {

// Writes the list to an .xlsx in TDmFm::exportFolder (named after
// baseName, or "导出", with the date and time) behind a progress dialog
// that can be cancelled, then opens it with the desktop's application.
// When none can open it: "系统没excel，不能导出Excel！" and where the file
// was saved. Gives the saved file's path; empty when cancelled or failed.
QString exportToExcel(QWidget* parent, const ListQuery& query, const QString& baseName = {});

// "打印": the list's printed report in a print preview (ModalSeam::run),
// from which the user prints or saves a PDF. Long lists are laid out
// behind a progress dialog that can be cancelled.
void printList(QWidget* parent, ReportTemplate which, const ListQuery& query);

// "打印条码": one barcode label per row of the list, in a print preview.
void printLabels(QWidget* parent, LabelKind which, const ListQuery& query);

// Where the print preview opens (its client area) in a screen's available
// area, for a window frame of these margins: 900 × 1000 where it fits, else
// as large as the area less the frame; centred, so the frame and its title
// bar stay inside the area.
QRect previewGeometry(const QRect& available, const QMargins& frame);

} // namespace ListOutput
