#include "web/web_activ_rows.h"

#include "data/activ_rows.h"
#include "data/danni.h"

void InsertWebActivRow(TDANI &danni, const QString &ip, const QString &id, const QDateTime &vhid,
                       const QDateTime &end)
{
    InsertActivRow(danni, ip, id, vhid, end);
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
