#include "route/fare.h"

#include "common/service_lock.h"
#include "data/danni.h"

#include <QLocale>

double LoadTariff(TDANI &danni, const QString &tariffName, int advance, double townKm, double outOfTownKm,
                  double waitMinutes)
{
    ServiceLockGuard lock(ServiceLock());
    fb::Query &q = danni.RIZNE;
    TDANI::Select(q, QStringLiteral("select * from TARIFI\nWHERE (TARIF_NAME = ?)"), {tariffName});
    double fare = 0;
    if (!q.isEmpty()) {
        q.last();
        const double taking = q.field(QStringLiteral("TARIF_PRIINYATTA_ZAMOVL")).asDouble();
        const double town = q.field(QStringLiteral("TARIF_KM_MISTO")).asDouble();
        const double outOfTown = q.field(QStringLiteral("TARIF_KM_ZA_MISTO")).asDouble();
        const double waiting = q.field(QStringLiteral("TARIF_HV_PROSTOU")).asDouble();
        const double surcharge = advance == 1 ? q.field(QStringLiteral("TARIF_CINA_POPERED_ZAMOVL")).asDouble() : 0.0;
        fare = town * townKm + taking + outOfTown * outOfTownKm + waiting * waitMinutes + surcharge;
    }
    q.close();
    return fare;
}

double CutAfterTwoDecimals(double value)
{
    // Cut in the form the dispatchers' programs print numbers (up to 15 significant
    // digits): float noise such as 2.0999999999999996 for 3 × 0.7 reads 2.1 there.
    const QString text = QString::number(value, 'g', 15);
    if (text.contains(u'e'))
        return value;
    const qsizetype point = text.indexOf(u'.');
    if (point < 0 || text.size() - point - 1 <= 2)
        return value;
    return text.left(point + 3).toDouble();
}
