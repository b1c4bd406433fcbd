#include "shell/account_counters.h"

#include "common/regional_format.h"

AccountCounters::AccountCounters(QObject *parent) : QObject(parent)
{
    values_ = {kNotSet, kNotSet, kNotSet, kNotSet, kNotSet, kNotSet, kNotSet, kNotSet, kNotSet};
}

AccountCounters::Values AccountCounters::values() const
{
    std::lock_guard guard(mutex_);
    return values_;
}

void AccountCounters::resetAtStart()
{
    {
        std::lock_guard guard(mutex_);
        const QString zero = QStringLiteral("0");
        values_ = {RegionalFormat::nowText(), zero, zero, zero, zero, zero, zero, zero, zero};
    }
    emit changed();
}

void AccountCounters::addScan(bool serversRunning)
{
    {
        std::lock_guard guard(mutex_);
        if (!serversRunning || values_.scans == kNotSet)
            return;
        add(values_.scans, nullptr);
    }
    emit changed();
}

void AccountCounters::addRefusedSession()
{
    {
        std::lock_guard guard(mutex_);
        if (values_.refusedSessions == kNotSet)
            return;
        add(values_.refusedSessions, nullptr);
    }
    emit changed();
}

void AccountCounters::addQuickEntry()
{
    {
        std::lock_guard guard(mutex_);
        add(values_.quickEntries, &values_.quickLast);
    }
    emit changed();
}

void AccountCounters::addCodedEntry()
{
    {
        std::lock_guard guard(mutex_);
        add(values_.codedEntries, &values_.codedLast);
    }
    emit changed();
}

void AccountCounters::addNewsEntry()
{
    {
        std::lock_guard guard(mutex_);
        add(values_.newsEntries, &values_.newsLast);
    }
    emit changed();
}

void AccountCounters::add(QString &count, QString *last)
{
    // Before the first start the counts read "не задано" and stay so.
    bool ok = false;
    const qint64 n = count.toLongLong(&ok);
    if (!ok)
        return;
    count = QString::number(n + 1);
    if (last)
        *last = RegionalFormat::nowText();
}
