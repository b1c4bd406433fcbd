#include "mobile/java_activ_rows.h"

#include "data/activ_rows.h"
#include "data/danni.h"
#include "data/row_number.h"

void UpdateJavaActivEnd(TDANI &danni, const QString &address, const QDateTime &end)
{
    TDANI::Execute(danni.GPRS_RIZNE,
                   QStringLiteral("UPDATE TABLE_ACTIV\n"
                                  "SET TABLE_ACTIV_END = ? \n"
                                  "WHERE (TABLE_ACTIV_ID = 'JAVA') AND (TABLE_ACTIV_IP = ?) "),
                   {WholeSeconds(end), address});
    danni.RefreshGrid(TDANI::Grid::Activ);
}

void WriteJavaActivChanges(TDANI &danni, const std::vector<JavaActivChange> &changes)
{
    if (changes.empty())
        return;
    fb::Query &query = danni.GPRS_RIZNE;
    query.transaction().commitIfActive();
    query.close();
    const QString insert = QStringLiteral("INSERT INTO TABLE_ACTIV\n"
                                          "(TABLE_ACTIV_NP, TABLE_ACTIV_IP, TABLE_ACTIV_ID, TABLE_ACTIV_VHID, "
                                          "TABLE_ACTIV_END)\n"
                                          "VALUES (%1, \n    ?, \n    'JAVA', \n    ?, \n    ?) ")
                               .arg(NextRowNumber(QStringLiteral("TABLE_ACTIV"), QStringLiteral("TABLE_ACTIV_NP")));
    const QString remove = QStringLiteral("DELETE FROM TABLE_ACTIV\n"
                                          "WHERE (TABLE_ACTIV_IP = ?) and (TABLE_ACTIV_ID = 'JAVA')");
    for (const JavaActivChange &change : changes) {
        if (change.taken)
            query.execute(insert, {change.address, WholeSeconds(change.vhid), WholeSeconds(change.end)});
        else
            query.execute(remove, {change.address});
    }
    query.transaction().commit();
    danni.RefreshGrid(TDANI::Grid::Activ);
}
