#include "store/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Translations {

bool installQtChinese(QCoreApplication& app) {
    auto* qt = new QTranslator(&app);
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    const bool installed = qt->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
                           QCoreApplication::installTranslator(qt);
    if (!installed)
        delete qt;
    // built into the program; the last installed is asked first
    auto* own = new QTranslator(&app);
    if (!own->load(QStringLiteral(":/translations/shop_zh_CN.qm")) ||
        !QCoreApplication::installTranslator(own))
        delete own;
    return installed;
}

} // namespace Translations
