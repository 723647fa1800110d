#pragma once

class QCoreApplication;

namespace Translations {

// Installs Qt's own Chinese texts (qtbase_zh_CN: the print dialog, page
// setup, file chooser and the buttons of standard dialogs) on the
// application. False when the translation files are not installed; the
// program then runs with Qt's English texts in those dialogs.
bool installQtChinese(QCoreApplication& app);

} // namespace Translations
