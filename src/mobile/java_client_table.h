#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

// One slot of the connection table: what the server remembers about a client,
// keyed by its IPv4 address (the socket objects carry nothing).
struct TTableJavaClient {
    QString IP;  // empty: the slot is free
    QString CodClient = QStringLiteral("0");
    QString FIO;
    QByteArray ReadBuffer;
    QDateTime TimeVhid;
    QDateTime TimeVihid;
    qint32 NumZam = 0;
    qint32 CountActiveZam = 0;
    qint32 CountInput = 0;
    bool Coded = false;
    QString StatusZam;

    // Logged in: the code, trimmed, is neither empty nor "0".
    bool loggedIn() const;
    // The logged-in client's code as a number (the login has checked it reads as one);
    // throws when it does not, which ends the request.
    qint32 clientNumber() const;
};

// `TableJavaClient`: a fixed number of slots for the run; every scan goes over the
// slots in order and stops at the first match.
class JavaClientTable {
public:
    // Sizes the table for a run, every slot reset with both times at `now`.
    void reset(int size, const QDateTime &now);
    int size() const { return int(slots_.size()); }

    TTableJavaClient &at(int index) { return slots_[size_t(index)]; }
    const TTableJavaClient &at(int index) const { return slots_[size_t(index)]; }

    // The first slot holding `address`, or nullptr. An empty address matches nothing.
    TTableJavaClient *find(const QString &address);

    // Takes the first free slot for `address`, to stay `minutes` from `now`; nullptr
    // when every slot is taken.
    TTableJavaClient *take(const QString &address, const QDateTime &now, int minutes);

    // Frees `slot`; code, times, input and counters as a released slot has them.
    static void release(TTableJavaClient &slot, const QDateTime &now);

private:
    std::vector<TTableJavaClient> slots_;
};
