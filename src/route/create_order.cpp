#include "common/regional_format.h"
#include "common/service_lock.h"
#include "data/danni.h"
#include "route/route_engine.h"

namespace {

// The dispatchers' program reads these columns in fixed forms, whatever the machine's
// own formats: numbers with a point, dates dd.mm.yyyy, times hh:mm.
QString sqlNumber(double value) { return RegionalFormat::numberText(value).replace(u',', u'.'); }
QString sqlDate(const QDateTime &moment) { return moment.date().toString(QStringLiteral("dd.MM.yyyy")); }
QString sqlTime(const QDateTime &moment) { return moment.time().toString(QStringLiteral("HH:mm")); }

}  // namespace

void RouteEngine::CreateOrder(int clientCode, const QString &extraData, const QString &startPoint,
                              const QString &destination, double clientBalance, double orderSum,
                              const QDateTime &acceptTime, const QString &freeRide, int status,
                              const QDateTime &closeTime)
{
    ServiceLockGuard lock(ServiceLock());
    const bool noDestination = destination.isEmpty() || destination == QStringLiteral("null");
    // Numbers, dates and times travel as the texts the dispatchers' program would have
    // written, so the columns get exactly the values those texts convert to.
    fb::Params params{clientCode, extraData, startPoint};
    if (!noDestination)
        params.emplace_back(destination);
    params.insert(params.end(), {sqlNumber(clientBalance), sqlNumber(orderSum), sqlDate(acceptTime),
                                 sqlTime(acceptTime), freeRide, status, sqlDate(closeTime), sqlTime(closeTime)});
    const QString sql =
        QStringLiteral("INSERT INTO ZAMOVLENNIA\n"
                       "(ZAMOVL_NUMBER, ZAMOVL_NOMER_KLIENT, ZAMOVL_PRICHINA_DELETE, ZAMOVL_POCHAT_PUNKT, "
                       "ZAMOVL_PUNKT_PRIZHACH,  ZAMOVL_BALANS_KLIENTA, ZAMOVL_SUMA_ROZRAHUNK, ZAMOVL_PRIYOM_ZAMOVL, \n"
                       "ZAMOVL_DATA_PRIYOMA, ZAMOVL_CHAS_PRIYOMA, ZAMOVL_BEZKOSHTOVN, ZAMOVL_STATUS_ZAMOVL, "
                       "ZAMOVL_DATA_ZAKR_ZAMOVL, ZAMOVL_CHAS_ZAKR_ZAMOVL)\n"
                       "VALUES (GEN_ID(GENIDZAMOVL, 1), \n"
                       "     ?, \n"
                       " ?, \n"
                       "     ?, \n")
        + (noDestination ? QStringLiteral("     null, \n") : QStringLiteral("     ?, \n"))
        + QStringLiteral("     ?, \n"
                         "     ?, \n"
                         "     'WEB', \n"
                         "     ?, \n"
                         "     ?, \n"
                         "     ?, \n"
                         "     ?, \n"
                         "     ?, \n"
                         "     ?) ");
    const QString told = QStringLiteral(" замовлення від ") + RegionalFormat::dateTimeText(acceptTime)
        + QStringLiteral(" клієнтом з кодом [") + QString::number(clientCode)
        + QStringLiteral("], додаткові дані замовлення [") + extraData + QStringLiteral("].");
    try {
        TDANI::Execute(danni_.RIZNE, sql, params);
        logEvent_(QStringLiteral("] успішне створення") + told);
    } catch (const std::exception &) {
        logEvent_(QStringLiteral("] помилка під час створення") + told);
    }
}
