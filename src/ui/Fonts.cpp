#include "ui/Fonts.h"

#include <QApplication>
#include <QFontDatabase>

namespace {

const QStringList preferred = {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
                               QStringLiteral("Source Han Sans SC"),
                               QStringLiteral("WenQuanYi Micro Hei"),
                               QStringLiteral("Droid Sans Fallback")};

} // namespace

namespace Fonts {

QString cjkFamily() {
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : preferred)
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    for (const QString& family : installed)
        if (QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese))
            return family;
    return preferred.first();
}

QFont cjkFont(int pointSize) {
    QFont font = QApplication::font();
    const QString family = cjkFamily();
    font.setFamilies(QStringList{family} + preferred);
    if (pointSize > 0)
        font.setPointSize(pointSize);
    return font;
}

void applyToApplication() {
    QApplication::setFont(cjkFont());
}

} // namespace Fonts
