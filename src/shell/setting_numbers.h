#pragma once

#include <QSet>
#include <QString>

#include <mutex>

class OperatorLog;

// Number settings as they are used. SETSERVER.INI is edited by hand and may hold anything:
// a value that is no whole number keeps the key's default (never 0, which would close
// every order at its own time or stop a page's timer), and the web log says so once per
// key and value. Safe from any thread.
class SettingNumbers {
public:
    explicit SettingNumbers(OperatorLog &log) : log_(log) {}

    // `key` as "SECTION/KEY", for the log line. An empty value is a key not set.
    int read(const char *key, const QString &text, int fallback);

private:
    OperatorLog &log_;
    std::mutex mutex_;
    QSet<QString> told_;
};
