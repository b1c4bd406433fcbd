#pragma once

#include <QObject>
#include <QString>

#include <mutex>

// The account counters of the "LICILNIK" page: kept as texts, "не задано" until the
// first start, reset by every start. Counted from the main thread and web threads.
class AccountCounters : public QObject {
    Q_OBJECT
public:
    struct Values {
        QString startTime;
        QString scans;  // new web sessions and accepted mobile connections
        QString quickEntries, quickLast;
        QString codedEntries, codedLast;
        QString newsEntries, newsLast;
        QString refusedSessions;  // web sessions refused since the start
    };

    explicit AccountCounters(QObject *parent = nullptr);

    Values values() const;
    void resetAtStart();  // start time now, everything else "0"

    // A new web session or mobile connection; counted only while the servers run.
    void addScan(bool serversRunning);
    void addQuickEntry();
    void addCodedEntry();
    void addNewsEntry();
    void addRefusedSession();

signals:
    void changed();

private:
    void add(QString &count, QString *last);

    mutable std::mutex mutex_;
    Values values_;
};

inline const QString kNotSet = QStringLiteral("не задано");
