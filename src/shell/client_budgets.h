#pragma once

#include "shell/address_window.h"
#include "shell/bounded_map.h"
#include "shell/operator_log.h"
#include "shell/setting_numbers.h"

#include <QObject>
#include <QString>

#include <QHash>

#include <mutex>

struct ServerSettings;

// Where a client came from: the web pages or the mobile application.
enum class ClientChannel { Web, Mobile };

// What one client address may do in a while, beyond the per-connection and per-session
// limits of the protocol: clients that follow it to the letter can still guess passwords,
// flood the dispatchers with orders or file applications for every code. Each budget
// is a setting read at use (0 turns it off); refusals are logged at most once a minute
// per address and kind, with how often they happened. Callers hold the service lock
// (the settings are read here); the counters have their own.
class ClientBudgets : public QObject {
    Q_OBJECT
public:
    ClientBudgets(const ServerSettings &settings, SettingNumbers &numbers, Logs logs, QObject *parent = nullptr);

    // Failed logins of an address, phones and pages together (MAX_POMYLOK_VHODU_Z_ADRESY in
    // 10 minutes). Past the budget a login is refused without its password being checked;
    // refused logins are not counted, successful ones do not reset the count.
    bool loginRefused(ClientChannel channel, const QString &address);
    void loginFailed(const QString &address, const QString &code);

    // Placed quick orders of an address, each channel apart (MAX_ZAMOVLEN_Z_ADRESY in 10
    // minutes; ADRESY_BEZ_LIMITU exempt). The refusal item, or empty.
    QString quickOrderRefusal(ClientChannel channel, const QString &address, const QString &firmTelephone);
    void quickOrderPlaced(ClientChannel channel, const QString &address);

    // Account applications and complaints of an address, each apart (MAX_ZAYAVOK_Z_ADRESY in
    // an hour).
    bool applicationRefused(ClientChannel channel, const QString &address);
    void applicationFiled(const QString &address);
    bool complaintRefused(ClientChannel channel, const QString &address);
    void complaintSent(const QString &address);

    // `line` (a log event, "] ...") in the channel's log at most once a minute per kind
    // and address; a line that follows others held back says how many there were.
    void logCoalesced(ClientChannel channel, const QString &kind, const QString &address, const QString &line);

    static constexpr std::chrono::seconds kShortWindow{600};
    static constexpr std::chrono::seconds kLongWindow{3600};
    // Addresses whose failed logins on one account tell of guessing spread wide.
    static constexpr int kSpreadAddresses = 10;

signals:
    // For the operator, once: emitted on the thread of the request; connect queued.
    void warning(const QString &text);

private:
    using Clock = AddressWindow::Clock;
    int setting(const char *key, const QString &text, int fallback) const;
    // Past MAX_ZAYAVOK_Z_ADRESY of `sent` in the hour: logs `line` ("%1" the address, "%2"
    // the limit) as `kind` and refuses.
    bool hourlyRefused(AddressWindow &sent, ClientChannel channel, const QString &kind, const QString &address,
                       const QString &line);
    bool exempt(const QString &address) const;
    void noteSpread(const QString &address, const QString &code, Clock::time_point now);

    const ServerSettings &settings_;
    SettingNumbers &numbers_;
    OperatorLog &webLog_;
    OperatorLog &mobileLog_;
    AddressWindow loginFailures_{kShortWindow};
    AddressWindow webOrders_{kShortWindow};
    AddressWindow mobileOrders_{kShortWindow};
    AddressWindow applications_{kLongWindow};
    AddressWindow complaints_{kLongWindow};

    std::mutex mutex_;  // the two tables below
    struct Spread {
        QHash<QString, Clock::time_point> addresses;  // last failure of each
        Clock::time_point told{};
    };
    BoundedMap<Spread> spread_{AddressWindow::kDefaultCapacity};
    struct Held {
        Clock::time_point said{};
        int since = 0;  // lines held back since
    };
    BoundedMap<Held> held_{AddressWindow::kDefaultCapacity};
};
