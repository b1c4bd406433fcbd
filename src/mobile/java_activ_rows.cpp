#include "mobile/java_activ_rows.h"

#include "data/activ_rows.h"
#include "data/danni.h"

void InsertJavaActivRow(TDANI &danni, const QString &address, const QDateTime &vhid, const QDateTime &end)
{
    InsertActivRow(danni, address, QStringLiteral("JAVA"), vhid, end);
    danni.RefreshActivSoon();
}

void DeleteJavaActivRows(TDANI &danni, const QString &address)
{
    TDANI::Execute(danni.GPRS_RIZNE,
                   QStringLiteral("DELETE FROM TABLE_ACTIV\n"
                                  "WHERE (TABLE_ACTIV_IP = ?) and (TABLE_ACTIV_ID = 'JAVA')"),
                   {address});
    danni.RefreshActivSoon();
}

void UpdateJavaActivEnd(TDANI &danni, const QString &address, const QDateTime &end)
{
    TDANI::Execute(danni.GPRS_RIZNE,
                   QStringLiteral("UPDATE TABLE_ACTIV\n"
                                  "SET TABLE_ACTIV_END = ? \n"
                                  "WHERE (TABLE_ACTIV_ID = 'JAVA') AND (TABLE_ACTIV_IP = ?) "),
                   {WholeSeconds(end), address});
    danni.RefreshActivSoon();
}
