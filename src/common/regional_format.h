#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// The "system" formats of the dispatch service's Windows machines: short date
// dd.MM.yyyy, long time HH:mm:ss, decimal comma. Log lines, grids, pages and
// protocol answers show dates, times and numbers this way.
namespace RegionalFormat {

inline constexpr const char *kDate = "dd.MM.yyyy";
inline constexpr const char *kTime = "HH:mm:ss";
inline constexpr const char *kDateTime = "dd.MM.yyyy HH:mm:ss";

QString dateText(const QDate &date);
QString timeText(const QTime &time);
QString dateTimeText(const QDateTime &moment);
QString nowText();  // current date and time, as log lines begin

// Shortest decimal text with a comma: 47.415 -> "47,415", 30.0 -> "30".
QString numberText(double value);

// Reads the texts above back; invalid results when the text does not match.
QDate parseDate(const QString &text);
QTime parseTime(const QString &text);
QDateTime parseDateTime(const QString &text);
// A date and time as a person types it in the short formats: the date alone, or with
// hours and minutes and optional seconds, leading zeros optional ("5.3.2026 9:07").
QDateTime readDateTime(const QString &text);

}  // namespace RegionalFormat
