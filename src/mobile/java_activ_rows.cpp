#include "mobile/java_activ_rows.h"

#include "data/danni.h"
#include "data/row_number.h"

namespace {

// The table keeps whole seconds, as the date-time text the rows were once written with.
QDateTime wholeSeconds(const QDateTime &moment)
{
    return moment.addMSecs(-moment.time().msec());
}

}  // namespace

void InsertJavaActivRow(TDANI &danni, const QString &address, const QDateTime &vhid, const QDateTime &end)
{
    TDANI::Execute(danni.GPRS_RIZNE,
                   QStringLiteral("INSERT INTO TABLE_ACTIV\n"
                                  "(TABLE_ACTIV_NP, TABLE_ACTIV_IP, TABLE_ACTIV_ID, TABLE_ACTIV_VHID, "
                                  "TABLE_ACTIV_END)\n"
                                  "VALUES (%1, \n"
                                  "    ?, \n"
                                  "    'JAVA', \n"
                                  "    ?, \n"
                                  "    ?) ")
                       .arg(NextRowNumber(QStringLiteral("TABLE_ACTIV"), QStringLiteral("TABLE_ACTIV_NP"))),
                   {address, wholeSeconds(vhid), wholeSeconds(end)});
    danni.RefreshGrid(TDANI::Grid::Activ);
}

void DeleteJavaActivRows(TDANI &danni, const QString &address)
{
    TDANI::Execute(danni.GPRS_RIZNE,
                   QStringLiteral("DELETE FROM TABLE_ACTIV\n"
                                  "WHERE (TABLE_ACTIV_IP = ?) and (TABLE_ACTIV_ID = 'JAVA')"),
                   {address});
    danni.RefreshGrid(TDANI::Grid::Activ);
}

void UpdateJavaActivEnd(TDANI &danni, const QString &address, const QDateTime &end)
{
    TDANI::Execute(danni.GPRS_RIZNE,
                   QStringLiteral("UPDATE TABLE_ACTIV\n"
                                  "SET TABLE_ACTIV_END = ? \n"
                                  "WHERE (TABLE_ACTIV_ID = 'JAVA') AND (TABLE_ACTIV_IP = ?) "),
                   {wholeSeconds(end), address});
    danni.RefreshGrid(TDANI::Grid::Activ);
}
