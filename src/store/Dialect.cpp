#include "store/Dialect.h"

QString SqlQuoteChar(const QString& kind) {
    if (kind == QLatin1String("s"))
        return QStringLiteral("'");
    if (kind == QLatin1String("a"))
        return QStringLiteral("\"");
    return {};
}

QString SqlDateDelimiter(const QString& kind) {
    if (kind == QLatin1String("s"))
        return QStringLiteral("'");
    if (kind == QLatin1String("a"))
        return QStringLiteral("#");
    return {};
}
