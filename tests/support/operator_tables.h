#pragma once

// The operator's pages on both real databases: the demo city's dispatchers' database (its
// clients carry the codes [00101] to [00108]) and a new service database. Header-only:
// the programs that use it link the shell.

#include "common/service_lock.h"
#include "data/row_number.h"
#include "scripted_prompt.h"
#include "service_databases.h"

#include <QCoreApplication>

namespace kvtest {

class OperatorTablesTest : public ::testing::Test {
protected:
    void SetUp() override { OpenServiceDatabases(context, folder, prompt); }

    // Runs statements as the pages and phones do (rows numbered on from the largest
    // "TABLE_X_NP" when `table` is given), then reopens the operator's grids.
    void sql(const QString &statement, const std::vector<fb::Params> &rows = {{}}, const QString &table = {})
    {
        ServiceLockGuard lock(ServiceLock());
        for (const fb::Params &row : rows)
            TDANI::Execute(context.danni.GPRS_RIZNE,
                           table.isEmpty() ? statement : statement.arg(NextRowNumber(table, table + "_NP")), row);
        context.danni.RefreshGrid(TDANI::Grid::Zayavki);
        context.danni.RefreshGrid(TDANI::Grid::Skarga);
    }
    // The first column of every row, joined by "|"; "<null>" for NULL.
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
    // The operator moves a grid to row `recNo` (1-based): its dataset moves with it.
    void choose(TDANI::Grid grid, int recNo)
    {
        ServiceLockGuard lock(ServiceLock());
        context.danni.SelectRow(grid, recNo);
    }
    // Delivers what the grids' reopening queued for the main thread.
    static void settle() { QCoreApplication::processEvents(); }

    ServiceFolder folder{true};
    ScriptedPrompt prompt;
    ServiceContext context{folder.path(), prompt};
};

}  // namespace kvtest
