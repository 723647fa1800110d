#pragma once

#include "store/ListQuery.h"

#include <QString>

class QWidget;

// The "EXCEL", "打印" and "打印条码" buttons of every list window, one call
// each. They read the list again from its first row through the window's
// ListQuery, so they see exactly the rows and order on screen, and they
// never write to the database. Messages go through TDmFm::showMessage
// (caption "错误"); no call throws or leaves a half-written file.
namespace ListOutput {

// Writes the list to an .xlsx in TDmFm::exportFolder (named after
// baseName, or "导出", with the date and time) behind a progress dialog
// that can be cancelled, then opens it with the desktop's application.
// When none can open it: "系统没excel，不能导出Excel！" and where the file
// was saved. Gives the saved file's path; empty when cancelled or failed.
QString exportToExcel(QWidget* parent, const ListQuery& query, const QString& baseName = {});

} // namespace ListOutput
