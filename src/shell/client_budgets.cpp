#include "shell/client_budgets.h"

#include "shell/server_settings.h"

#include <QHostAddress>

namespace {

constexpr auto kLineInterval = std::chrono::minutes(1);

// The key of a budget table: the kind of event and the address as it counts.
QString heldKey(ClientChannel channel, const QString &kind, const QString &address)
{
    return (channel == ClientChannel::Web ? QStringLiteral("web ") : QStringLiteral("mobile ")) + kind + u' '
        + AddressWindow::keyOf(address);
}

}  // namespace

ClientBudgets::ClientBudgets(const ServerSettings &settings, SettingNumbers &numbers, Logs logs, QObject *parent)
    : QObject(parent), settings_(settings), numbers_(numbers), webLog_(logs.web), mobileLog_(logs.mobile)
{
}

int ClientBudgets::setting(const char *key, const QString &text, int fallback) const
{
    // A budget that is no number keeps its default: no number must open the door.
    return numbers_.read(key, text, fallback);
}

void ClientBudgets::logCoalesced(ClientChannel channel, const QString &kind, const QString &address,
                                 const QString &line)
{
    const Clock::time_point now = Clock::now();
    int heldBack = 0;
    {
        std::lock_guard lock(mutex_);
        Held &held = held_.get(heldKey(channel, kind, address));
        if (held.said != Clock::time_point{} && now - held.said < kLineInterval) {
            ++held.since;
            return;
        }
        heldBack = std::exchange(held.since, 0);
        held.said = now;
    }
    OperatorLog &log = channel == ClientChannel::Web ? webLog_ : mobileLog_;
    log.event(heldBack == 0 ? line
                            : line + QStringLiteral(" (ще %1 таких за останню хвилину не записано)").arg(heldBack));
}

bool ClientBudgets::loginRefused(ClientChannel channel, const QString &address)
{
    const int limit = setting("DOSTUP/MAX_POMYLOK_VHODU_Z_ADRESY", settings_.MAX_POMYLOK_VHODU_Z_ADRESY, 20);
    if (limit <= 0)
        return false;
    const int failures = loginFailures_.count(address, Clock::now());
    if (failures < limit)
        return false;
    logCoalesced(channel, QStringLiteral("login"), address,
                 QStringLiteral("] вхід з адреси IP:[%1] відхилено без перевірки пароля: %2 невдалих спроб входу "
                                "за %3 хв.")
                     .arg(address)
                     .arg(failures)
                     .arg(kShortWindow.count() / 60));
    return true;
}

void ClientBudgets::loginFailed(const QString &address, const QString &code)
{
    const Clock::time_point now = Clock::now();
    loginFailures_.add(address, now);
    noteSpread(address, code, now);
}

void ClientBudgets::noteSpread(const QString &address, const QString &code, Clock::time_point now)
{
    if (code.isEmpty())
        return;
    int addresses = 0;
    {
        std::lock_guard lock(mutex_);
        Spread &spread = spread_.get(code);
        spread.addresses.removeIf([&](const auto &failure) { return now - failure.value() >= kShortWindow; });
        // More addresses than this are past telling already; the table stays small.
        if (spread.addresses.size() <= kSpreadAddresses)
            spread.addresses.insert(AddressWindow::keyOf(address), now);
        addresses = int(spread.addresses.size());
        if (addresses <= kSpreadAddresses || (spread.told != Clock::time_point{} && now - spread.told < kShortWindow))
            return;
        spread.told = now;
    }
    const QString text = QStringLiteral("Підбір пароля до коду [%1]: невдалі спроби входу з понад %2 різних адрес за "
                                        "%3 хв. Можливо, варто змінити пароль цього клієнта.")
                             .arg(code)
                             .arg(kSpreadAddresses)
                             .arg(kShortWindow.count() / 60);
    webLog_.event(QStringLiteral("]: ") + text);
    mobileLog_.event(QStringLiteral("]: ") + text);
    emit warning(text);
}

bool ClientBudgets::exempt(const QString &address) const
{
    const QHostAddress host(address);
    for (const QString &entry : ServerSettings::addresses(settings_.ADRESY_BEZ_LIMITU)) {
        const QPair<QHostAddress, int> subnet = QHostAddress::parseSubnet(entry);
        if (!subnet.first.isNull() && host.isInSubnet(subnet))
            return true;
        if (QHostAddress(entry).isEqual(host, QHostAddress::TolerantConversion))
            return true;
    }
    return false;
}

QString ClientBudgets::quickOrderRefusal(ClientChannel channel, const QString &address, const QString &firmTelephone)
{
    const int limit = setting("DOSTUP/MAX_ZAMOVLEN_Z_ADRESY", settings_.MAX_ZAMOVLEN_Z_ADRESY, 20);
    if (limit <= 0 || exempt(address))
        return {};
    AddressWindow &orders = channel == ClientChannel::Web ? webOrders_ : mobileOrders_;
    const int placed = orders.count(address, Clock::now());
    if (placed < limit)
        return {};
    logCoalesced(channel, QStringLiteral("orders"), address,
                 QStringLiteral("] замовлення з адреси IP:[%1] відхилено: %2 замовлень за %3 хв.")
                     .arg(address)
                     .arg(placed)
                     .arg(kShortWindow.count() / 60));
    return QStringLiteral("[з вашої адреси створено забагато замовлень, повторіть спробу пізніше або замовте у "
                          "телефонному режимі тел.[")
        + firmTelephone + QStringLiteral("]]");
}

void ClientBudgets::quickOrderPlaced(ClientChannel channel, const QString &address)
{
    (channel == ClientChannel::Web ? webOrders_ : mobileOrders_).add(address, Clock::now());
}

bool ClientBudgets::hourlyRefused(AddressWindow &sent, ClientChannel channel, const QString &kind,
                                  const QString &address, const QString &line)
{
    const int limit = setting("DOSTUP/MAX_ZAYAVOK_Z_ADRESY", settings_.MAX_ZAYAVOK_Z_ADRESY, 10);
    if (limit <= 0 || sent.count(address, Clock::now()) < limit)
        return false;
    logCoalesced(channel, kind, address, line.arg(address).arg(limit));
    return true;
}

bool ClientBudgets::applicationRefused(ClientChannel channel, const QString &address)
{
    return hourlyRefused(applications_, channel, QStringLiteral("applications"), address,
                         QStringLiteral("] заявку з адреси IP:[%1] відхилено: з неї подано %2 заявок за годину."));
}

void ClientBudgets::applicationFiled(const QString &address) { applications_.add(address, Clock::now()); }

bool ClientBudgets::complaintRefused(ClientChannel channel, const QString &address)
{
    return hourlyRefused(complaints_, channel, QStringLiteral("complaints"), address,
                         QStringLiteral("] повідомлення з адреси IP:[%1] відхилено: з неї надіслано %2 повідомлень за "
                                        "годину."));
}

void ClientBudgets::complaintSent(const QString &address) { complaints_.add(address, Clock::now()); }
