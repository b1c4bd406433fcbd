#pragma once

// The operator's pages on both real databases: the demo city's dispatchers' database
// (its clients carry the codes [00101] to [00108]) and a new service database, with
// rows put into the service tables as web pages and phones put them there.
// Header-only: the programs that use it link the shell.

#include "common/service_lock.h"
#include "data/row_number.h"
#include "scripted_prompt.h"
#include "service_databases.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace kvtest {

class OperatorTablesTest : public ::testing::Test {
protected:
    void SetUp() override { OpenServiceDatabases(context, folder, prompt); }

    void sql(const QString &statement, const fb::Params &params = {})
    {
        ServiceLockGuard lock(ServiceLock());
        TDANI::Execute(context.danni.GPRS_RIZNE, statement, params);
    }
    QString scalar(const QString &statement, const fb::Params &params = {})
    {
        ServiceLockGuard lock(ServiceLock());
        return TDANI::ScalarText(context.danni.GPRS_RIZNE, statement, params);
    }
    // Reopens a grid as a writer does after its insert; the queued reactions follow.
    void refresh(TDANI::Grid grid)
    {
        {
            ServiceLockGuard lock(ServiceLock());
            context.danni.RefreshGrid(grid);
        }
        settle();
    }
    static void settle() { QCoreApplication::processEvents(); }

    void request(const QString &code, const QString &password, const QString &telephone, const QString &note)
    {
        sql(QStringLiteral("INSERT INTO TABLE_ZAYAVKA (TABLE_ZAYAVKA_NP, TABLE_ZAYAVKA_DATA, TABLE_ZAYAVKA_KOD, "
                           "TABLE_ZAYAVKA_PASS, TABLE_ZAYAVKA_TELEF, TABLE_ZAYAVKA_PRIM) VALUES (%1, CURRENT_DATE, ?, ?, ?, ?)")
                .arg(NextRowNumber(QStringLiteral("TABLE_ZAYAVKA"), QStringLiteral("TABLE_ZAYAVKA_NP"))),
            {code, password, telephone, note});
    }
    void account(const QString &code, const QString &password, const QString &telephone)
    {
        sql(QStringLiteral("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, TABLE_KLIENT_PASS, "
                           "TABLE_KLIENT_TELEF, TABLE_KLIENT_BAN) VALUES (%1, ?, ?, ?, '-')")
                .arg(NextRowNumber(QStringLiteral("TABLE_KLIENT"), QStringLiteral("TABLE_KLIENT_NP"))),
            {code, password, telephone});
    }
    void complaint(const QString &code, const QString &text, const char *handled = "-")
    {
        sql(QStringLiteral("INSERT INTO TABLE_SKARGA (TABLE_SKARGA_NP, TABLE_SKARGA_VIDPOV, TABLE_SKARGA_DATA, "
                           "TABLE_SKARGA_TIME, TABLE_SKARGA_KOD, TABLE_SKARGA_TEXT) "
                           "VALUES (%1, ?, CURRENT_DATE, CURRENT_TIME, ?, ?)")
                .arg(NextRowNumber(QStringLiteral("TABLE_SKARGA"), QStringLiteral("TABLE_SKARGA_NP"))),
            {handled, code, text});
    }
    // One column of every row, in the order given, joined by "|".
    QString column(const QString &select)
    {
        ServiceLockGuard lock(ServiceLock());
        fb::Query &q = context.danni.GPRS_RIZNE;
        TDANI::Select(q, select);
        QStringList values;
        for (q.first(); !q.eof(); q.next())
            values << (q.field(0).isNull() ? QStringLiteral("<null>") : q.field(0).asText());
        q.close();
        return values.join(u'|');
    }

    ServiceFolder folder{true};
    ScriptedPrompt prompt;
    ServiceContext context{folder.path(), prompt};
};

}  // namespace kvtest
