#include "web/web_activ_rows.h"

#include "data/danni.h"
#include "data/row_number.h"

namespace {

// The table keeps whole seconds, as the date-time texts the rows were once written with.
QDateTime wholeSeconds(const QDateTime &moment) { return moment.addMSecs(-moment.time().msec()); }

}  // namespace

void InsertWebActivRow(TDANI &danni, const QString &ip, const QString &id, const QDateTime &vhid,
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
                   {ip, id, wholeSeconds(vhid), wholeSeconds(end)});
    danni.RefreshGrid(TDANI::Grid::Activ);
}

WebActivRow FindWebActivRow(TDANI &danni, const QString &id)
{
    fb::Query &query = danni.GPRS_RIZNE;
    TDANI::Select(query, QStringLiteral("SELECT * FROM TABLE_ACTIV\nWHERE (TABLE_ACTIV_ID = ?)"), {id});
    WebActivRow row;
    if (!query.isEmpty()) {
        query.last();
        row = {true, query.field(QStringLiteral("TABLE_ACTIV_IP")).asText(),
               query.field(QStringLiteral("TABLE_ACTIV_KOD")).asText(),
               query.field(QStringLiteral("TABLE_ACTIV_VHID")).asText(),
               query.field(QStringLiteral("TABLE_ACTIV_END")).asText()};
    }
    query.close();
    return row;
}

void DeleteWebActivRow(TDANI &danni, const QString &id)
{
    TDANI::Execute(danni.GPRS_RIZNE, QStringLiteral("DELETE FROM TABLE_ACTIV\nWHERE (TABLE_ACTIV_ID = ?)"), {id});
    danni.RefreshGrid(TDANI::Grid::Activ);
}

QStringList ExpiredActivIds(TDANI &danni, const QDateTime &now)
{
    fb::Query &query = danni.GPRS_TABL_TIMER;
    TDANI::Select(query, QStringLiteral("SELECT * FROM TABLE_ACTIV\nWHERE (TABLE_ACTIV_END <= ?) "), {now});
    QStringList ids;
    for (query.first(); !query.eof(); query.next())
        ids << query.field(QStringLiteral("TABLE_ACTIV_ID")).asText();
    query.close();
    query.transaction().commitIfActive();
    return ids;
}
