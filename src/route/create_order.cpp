#include "common/log_text.h"
#include "common/metrics.h"
#include "common/regional_format.h"
#include "common/service_lock.h"
#include "data/danni.h"
#include "data/placed_order.h"
#include "route/route_engine.h"

namespace {

// The dispatchers' program reads these columns in fixed forms, whatever the machine's
// own formats: numbers with a point, dates dd.mm.yyyy, times hh:mm.
QString sqlNumber(double value) { return RegionalFormat::numberText(value).replace(u',', u'.'); }
QString sqlDate(const QDateTime &moment) { return moment.date().toString(QStringLiteral("dd.MM.yyyy")); }
QString sqlTime(const QDateTime &moment) { return moment.time().toString(QStringLiteral("HH:mm")); }

}  // namespace

std::optional<int> RouteEngine::CreateOrder(metrics::OrderSource source, int clientCode, const QString &extraData,
                                            const QString &startPoint, const QString &destination,
                                            double clientBalance, double orderSum, const QDateTime &acceptTime,
                                            const QString &freeRide, int status, const QDateTime &closeTime)
{
    metrics::OrderOutcome outcome = metrics::OrderOutcome::Failed;
    const std::optional<int> number = insertOrder(clientCode, extraData, startPoint, destination, clientBalance,
                                                  orderSum, acceptTime, freeRide, status, closeTime, outcome);
    metrics::Counted().order(source, outcome).add();
    return number;
}

std::optional<int> RouteEngine::insertOrder(int clientCode, const QString &extraData, const QString &startPoint,
                                            const QString &destination, double clientBalance, double orderSum,
                                            const QDateTime &acceptTime, const QString &freeRide, int status,
                                            const QDateTime &closeTime, metrics::OrderOutcome &outcome)
{
    ServiceLockGuard lock(ServiceLock());
    const bool noDestination = destination.isEmpty() || destination == QStringLiteral("null");
    // Numbers, dates and times travel as the texts the dispatchers' program would have
    // written, so the columns get exactly the values those texts convert to.
    ColumnWidths columns;
    try {
        columns = danni_.OrderColumns();
    } catch (const std::exception &) {
        // Without the widths the texts go as they are; the insert tells what it thinks.
    }
    fb::Params params{clientCode, columns.fit(QStringLiteral("ZAMOVL_PRICHINA_DELETE"), extraData),
                      columns.fit(QStringLiteral("ZAMOVL_POCHAT_PUNKT"), startPoint)};
    if (!noDestination)
        params.emplace_back(columns.fit(QStringLiteral("ZAMOVL_PUNKT_PRIZHACH"), destination));
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
                         "     ?) \n"
                         "RETURNING ZAMOVL_NUMBER");
    const QString told = QStringLiteral(" замовлення від ") + RegionalFormat::dateTimeText(acceptTime)
        + QStringLiteral(" клієнтом з кодом [") + QString::number(clientCode)
        + QStringLiteral("], додаткові дані замовлення [") + LogValue(extraData) + QStringLiteral("].");
    int number = 0;
    try {
        TDANI::Select(danni_.RIZNE, sql, params);
        number = int(danni_.RIZNE.field(0).asInt());
        danni_.RIZNE.close();
        danni_.TRANZ_RIZNE.commit();
    } catch (const fb::ConnectionLost &lost) {
        // An insert whose answer was lost was never committed; a commit whose answer was
        // lost may have been: it is settled by the number before anybody is told.
        if (number != 0 && lost.outcomeUnknown())
            return settleLostCommit(number, told, outcome);
        logEvent_(QStringLiteral("] помилка під час створення") + told);
        return std::nullopt;
    } catch (const std::exception &) {
        try {
            danni_.TRANZ_RIZNE.rollback();  // nothing of the order may stay behind
        } catch (const std::exception &) {
        }
        logEvent_(QStringLiteral("] помилка під час створення") + told);
        return std::nullopt;
    }
    logEvent_(QStringLiteral("] успішне створення") + told);
    outcome = metrics::OrderOutcome::Placed;
    return number;
}

std::optional<int> RouteEngine::settleLostCommit(int number, const QString &told, metrics::OrderOutcome &outcome)
{
    PlacedOrder placed = PlacedOrder::Unknown;
    {
        // The old connection is aborted already (no commit still queued on it can land
        // later); the look-up uses a connection of its own and needs no lock.
        const ServiceLockRelease released;
        placed = LookUpPlacedOrder(danni_.BAZA.params(), number, kLostCommitBudget);
    }
    if (placed == PlacedOrder::Found) {
        logEvent_(QStringLiteral("] успішне створення") + told);
        outcome = metrics::OrderOutcome::Placed;
        return number;
    }
    outcome = placed == PlacedOrder::NotFound ? metrics::OrderOutcome::Failed : metrics::OrderOutcome::Unknown;
    logEvent_(QStringLiteral("] помилка під час створення") + told
              + QStringLiteral(" Зв'язок з базою даних диспетчерської служби втрачено під час підтвердження "
                               "замовлення: чи воно створене, невідомо%1. Перевірте замовлення № %2.")
                    .arg(placed == PlacedOrder::NotFound ? QStringLiteral(" (у базі його не знайдено)")
                                                         : QStringLiteral(" (база недоступна)"))
                    .arg(number));
    return std::nullopt;
}
