#include "common/regional_format.h"

#include <QLocale>

namespace RegionalFormat {

QString dateText(const QDate &date) { return date.toString(kDate); }
QString timeText(const QTime &time) { return time.toString(kTime); }
QString dateTimeText(const QDateTime &moment) { return moment.toString(kDateTime); }
QString nowText() { return dateTimeText(QDateTime::currentDateTime()); }

QString numberText(double value)
{
    // Up to 15 significant digits, as the dispatchers' Windows programs print numbers:
    // 0.1 + 0.2 reads 0,3 there, not 0,30000000000000004.
    QString text = QString::number(value, 'g', 15);
    if (text.contains(u'e') || text.contains(u'E'))
        text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    text.replace(u'.', u',');
    return text;
}

QDate parseDate(const QString &text) { return QDate::fromString(text.trimmed(), kDate); }
QTime parseTime(const QString &text) { return QTime::fromString(text.trimmed(), kTime); }
QDateTime parseDateTime(const QString &text)
{
    return QDateTime::fromString(text.trimmed(), kDateTime);
}

QDateTime readDateTime(const QString &text)
{
    for (const char *format : {"d.M.yyyy H:m:s", "d.M.yyyy H:m", "d.M.yyyy"}) {
        const QDateTime moment = QDateTime::fromString(text.trimmed(), QString::fromLatin1(format));
        if (moment.isValid())
            return moment;
    }
    return {};
}

}  // namespace RegionalFormat
