#include "shell/tariff_list.h"

#include "common/service_lock.h"
#include "data/danni.h"

QStringList TariffNames(TDANI &danni)
{
    ServiceLockGuard lock(ServiceLock());
    TDANI::Select(danni.RIZNE, QStringLiteral("SELECT TARIF_NAME FROM TARIFI\nORDER BY TARIF_NP"));
    QStringList names;
    for (const auto &row : danni.RIZNE.rows())
        names << fb::valueText(row.at(0));
    danni.RIZNE.close();
    return names;
}
