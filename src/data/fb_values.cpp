// fb::Error, valueText and the conversions of fb::Field.

#include "data/fb.h"

#include "common/regional_format.h"

#include <cmath>

namespace fb {

Error::Error(const QString &message) : std::runtime_error(message.toUtf8().toStdString()) {}

ConnectionLost::ConnectionLost(const QString &message, bool outcomeUnknown)
    : Error(message), outcomeUnknown_(outcomeUnknown)
{
}

QString valueText(const Value &value)
{
    struct Visitor {
        QString operator()(std::monostate) const { return {}; }
        QString operator()(qint64 v) const { return QString::number(v); }
        QString operator()(double v) const { return RegionalFormat::numberText(v); }
        QString operator()(const QString &v) const { return v; }
        QString operator()(const QDate &v) const { return v.isValid() ? RegionalFormat::dateText(v) : QString(); }
        QString operator()(const QTime &v) const { return v.isValid() ? RegionalFormat::timeText(v) : QString(); }
        QString operator()(const QDateTime &v) const
        {
            return v.isValid() ? RegionalFormat::dateTimeText(v) : QString();
        }
    };
    return std::visit(Visitor{}, value);
}

namespace {

[[noreturn]] void conversionError(const QString &field, const QString &text, const char *what)
{
    throw Error(QStringLiteral("Field %1: \"%2\" is not a valid %3").arg(field, text, QLatin1String(what)));
}

// Numbers written by people or by RegionalFormat: "12", "-3", "47,415", "47.415".
bool parseNumber(const QString &text, double *result)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    t.replace(u',', u'.');
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *result = v;
    return true;
}

}  // namespace

qint64 Field::asInt() const
{
    if (const auto *i = std::get_if<qint64>(&value_))
        return *i;
    if (const auto *d = std::get_if<double>(&value_))
        return qRound64(*d);
    if (isNull())
        return 0;
    if (const auto *s = std::get_if<QString>(&value_)) {
        bool ok = false;
        const qint64 v = s->trimmed().toLongLong(&ok);
        if (ok)
            return v;
        double d = 0;
        if (parseNumber(*s, &d) && std::fabs(d) < 9.2e18)
            return qRound64(d);
        conversionError(name_, *s, "integer");
    }
    conversionError(name_, asText(), "integer");
}

double Field::asDouble() const
{
    if (const auto *d = std::get_if<double>(&value_))
        return *d;
    if (const auto *i = std::get_if<qint64>(&value_))
        return double(*i);
    if (isNull())
        return 0;
    if (const auto *s = std::get_if<QString>(&value_)) {
        double d = 0;
        if (parseNumber(*s, &d))
            return d;
        conversionError(name_, *s, "number");
    }
    conversionError(name_, asText(), "number");
}

QDate Field::asDate() const
{
    if (const auto *d = std::get_if<QDate>(&value_))
        return *d;
    if (const auto *dt = std::get_if<QDateTime>(&value_))
        return dt->date();
    if (isNull())
        return {};
    if (const auto *s = std::get_if<QString>(&value_)) {
        if (s->trimmed().isEmpty())
            return {};
        QDate d = RegionalFormat::parseDate(*s);
        if (!d.isValid())
            d = RegionalFormat::parseDateTime(*s).date();
        if (d.isValid())
            return d;
        conversionError(name_, *s, "date");
    }
    conversionError(name_, asText(), "date");
}

QTime Field::asTime() const
{
    if (const auto *t = std::get_if<QTime>(&value_))
        return *t;
    if (const auto *dt = std::get_if<QDateTime>(&value_))
        return dt->time();
    if (isNull())
        return {};
    if (const auto *s = std::get_if<QString>(&value_)) {
        if (s->trimmed().isEmpty())
            return {};
        QTime t = RegionalFormat::parseTime(*s);
        if (!t.isValid())
            t = RegionalFormat::parseDateTime(*s).time();
        if (t.isValid())
            return t;
        conversionError(name_, *s, "time");
    }
    conversionError(name_, asText(), "time");
}

QDateTime Field::asDateTime() const
{
    if (const auto *dt = std::get_if<QDateTime>(&value_))
        return *dt;
    if (const auto *d = std::get_if<QDate>(&value_))
        return QDateTime(*d, QTime(0, 0));
    if (isNull())
        return {};
    if (const auto *s = std::get_if<QString>(&value_)) {
        if (s->trimmed().isEmpty())
            return {};
        QDateTime dt = RegionalFormat::parseDateTime(*s);
        if (!dt.isValid()) {
            const QDate d = RegionalFormat::parseDate(*s);
            if (d.isValid())
                dt = QDateTime(d, QTime(0, 0));
        }
        if (dt.isValid())
            return dt;
        conversionError(name_, *s, "date and time");
    }
    conversionError(name_, asText(), "date and time");
}

}  // namespace fb
