#include "adverts/advert_rotation.h"

#include "data/danni.h"
#include "shell/service_context.h"

#include <QDate>

namespace {

// The first row number of `sql`'s MIN(), or 0 when the table had none.
int minimumRow(fb::Query &query, const QString &sql, const fb::Params &params)
{
    TDANI::Select(query, sql, params);
    if (query.isEmpty())
        return 0;
    query.last();
    const fb::Field number = query.field(0);
    return number.isNull() ? 0 : int(number.asInt());
}

}  // namespace

void AdvanceAdvert(ServiceContext &context)
{
    fb::Query &query = context.danni.GPRS_TABL_TIMER;
    const QDate today = QDate::currentDate();
    int number = minimumRow(query,
                            QStringLiteral("SELECT MIN(TABLE_REK_NP) FROM TABLE_REKLAMA\n"
                                           "WHERE (TABLE_REK_NP > ?) AND (TABLE_REK_ACTIV = '+') AND "
                                           "(TABLE_REK_DATE >= ?)"),
                            {context.currentAdvert, today});
    if (number == 0)
        number = minimumRow(query,
                            QStringLiteral("SELECT MIN(TABLE_REK_NP) FROM TABLE_REKLAMA\n"
                                           "WHERE (TABLE_REK_ACTIV = '+') AND (TABLE_REK_DATE >= ?)"),
                            {today});
    context.currentAdvert = number;
    if (number != 0) {
        TDANI::Select(query, QStringLiteral("SELECT * FROM TABLE_REKLAMA\nWHERE (TABLE_REK_NP = ?)"), {number});
        if (!query.isEmpty()) {
            query.last();
            ServerSettings &s = context.settings;
            s.URL_IMG = query.field(QStringLiteral("TABLE_REK_RIS")).asText();
            s.URL_SAIT = query.field(QStringLiteral("TABLE_REK_SAIT")).asText();
            s.TEXT_REKLAMA = query.field(QStringLiteral("TABLE_REK_TEXT")).asText();
        }
    }
    query.close();
    // The main thread's timed work shares this query: leave no snapshot open behind.
    query.transaction().commitIfActive();
}
