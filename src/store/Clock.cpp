#include "store/Clock.h"

namespace {
QDateTime g_fixed;
}

namespace Clock {

QDateTime now() {
    if (g_fixed.isValid())
        return g_fixed;
    QDateTime moment = QDateTime::currentDateTime();
    // Stored moments carry whole seconds only.
    return moment.addMSecs(-moment.time().msec());
}

QDate today() {
    return now().date();
}

void setFixed(const QDateTime& moment) {
    g_fixed = moment;
}

QString formatDateTime(const QDateTime& moment) {
    return moment.toString(QString::fromLatin1(DateTimeFormat));
}

QString formatDate(const QDate& day) {
    return day.toString(QString::fromLatin1(DateFormat));
}

QDateTime parseDateTime(const QString& text) {
    const QString trimmed = text.trimmed();
    QDateTime moment = QDateTime::fromString(trimmed, QString::fromLatin1(DateTimeFormat));
    if (!moment.isValid())
        moment = QDateTime::fromString(trimmed, Qt::ISODate);
    if (!moment.isValid()) {
        const QDate day = parseDate(trimmed);
        if (day.isValid())
            moment = day.startOfDay();
    }
    return moment;
}

QDate parseDate(const QString& text) {
    const QString trimmed = text.trimmed();
    QDate day = QDate::fromString(trimmed.left(10), QString::fromLatin1(DateFormat));
    return day;
}

} // namespace Clock
