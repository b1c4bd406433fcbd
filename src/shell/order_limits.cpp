#include "shell/order_limits.h"

#include "shell/service_context.h"

namespace {

constexpr int kDefaultDaysAhead = 7;
constexpr int kDefaultOpenOrders = 20;
constexpr int kDefaultClosingMinutes = 10;

}  // namespace

int ClosingMinutes(ServiceContext &context)
{
    return context.numbers.read("SETKLIENT/CHAS_ZAKRITTYA_ZAM", context.settings.CHAS_ZAKRITTYA_ZAM, kDefaultClosingMinutes);
}

QString FarPreliminaryItem(ServiceContext &context, const QDateTime &wanted, const QDateTime &now)
{
    const int days =
        context.numbers.read("DOSTUP/MAX_DNIV_POPEREDNYOGO", context.settings.MAX_DNIV_POPEREDNYOGO, kDefaultDaysAhead);
    if (days <= 0 || wanted <= now.addDays(days))
        return {};
    return QStringLiteral("[попереднє замовлення можливе не далі ніж на %1 днів наперед]").arg(days);
}

QString TooManyOpenOrdersItem(ServiceContext &context, qint64 clientCode, int cars)
{
    const int limit = context.numbers.read("DOSTUP/MAX_AKTYVNYH_ZAMOVLEN_KODOVANOGO",
                                           context.settings.MAX_AKTYVNYH_ZAMOVLEN_KODOVANOGO, kDefaultOpenOrders);
    if (limit <= 0)
        return {};
    QString open;
    try {
        open = TDANI::ScalarTextReadOnly(context.danni.RIZNE,
                                         QStringLiteral("SELECT COUNT(ZAMOVL_NUMBER) FROM ZAMOVLENNIA\n"
                                                        "WHERE (ZAMOVL_NOMER_KLIENT = ?) and (ZAMOVL_STATUS_ZAMOVL = 0)"),
                                         {clientCode});
    } catch (const fb::Error &) {
        return {};  // the order's own insert meets the same database and says so as designed
    }
    if (open.toInt() + cars <= limit)
        return {};
    return QStringLiteral("[перевищено кількість активних замовлень (%1), решту замовте у телефонному режимі тел.[")
               .arg(limit)
        + context.settings.TELEFON_FIRMA + QStringLiteral("]]");
}
