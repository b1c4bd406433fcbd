#include "data/activ_rows.h"

#include "data/danni.h"
#include "data/row_number.h"

QDateTime WholeSeconds(const QDateTime &moment) { return moment.addMSecs(-moment.time().msec()); }

void InsertActivRow(TDANI &danni, const QString &ip, const QString &id, const QDateTime &vhid,
                    const QDateTime &end)
{
    TDANI::Execute(danni.GPRS_RIZNE,
                   QStringLiteral("INSERT INTO TABLE_ACTIV\n"
                                  "(TABLE_ACTIV_NP, TABLE_ACTIV_IP, TABLE_ACTIV_ID, TABLE_ACTIV_VHID, "
                                  "TABLE_ACTIV_END)\n"
                                  "VALUES (%1, \n"
                                  "    ?, \n"
                                  "    ?, \n"
                                  "    ?, \n"
                                  "    ?) ")
                       .arg(NextRowNumber(QStringLiteral("TABLE_ACTIV"), QStringLiteral("TABLE_ACTIV_NP"))),
                   {ip, id, WholeSeconds(vhid), WholeSeconds(end)});
    danni.RefreshGrid(TDANI::Grid::Activ);
}
