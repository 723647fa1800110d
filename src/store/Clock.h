#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The one source of "now" for the whole program, so that tests can set the
// time. Date-times are written as local time "yyyy-MM-dd hh:mm:ss", dates as
// "yyyy-MM-dd".
namespace Clock {

QDateTime now();
QDate today();

// Tests fix the clock; an invalid value returns to the system clock.
void setFixed(const QDateTime& moment);

inline constexpr const char* DateTimeFormat = "yyyy-MM-dd hh:mm:ss";
inline constexpr const char* DateFormat = "yyyy-MM-dd";

QString formatDateTime(const QDateTime& moment);
QString formatDate(const QDate& day);
// Accepts "yyyy-MM-dd hh:mm:ss", "yyyy-MM-ddThh:mm:ss" and a bare date.
QDateTime parseDateTime(const QString& text);
QDate parseDate(const QString& text);

} // namespace Clock
