#pragma once

class QCoreApplication;

namespace Translations {

// Installs Qt's own Chinese texts (qtbase_zh_CN: the print dialog, page
// setup, file chooser and the buttons of standard dialogs) on the
// application, and after them the program's own Chinese for the few texts
// of those dialogs that Qt's catalogue lacks (the file chooser's "Folder").
// False when Qt's translation files are not installed; the program then
// runs with Qt's English texts in those dialogs, but for the program's own.
bool installQtChinese(QCoreApplication& app);

} // namespace Translations
