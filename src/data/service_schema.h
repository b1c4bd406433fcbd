#pragma once

#include "data/danni.h"

#include <QStringList>

#include <functional>
#include <vector>

// The tables of KORVANTIS_KLIENT.FDB, in creation order.
struct ServiceTable {
    QString name;
    QString heading;  // progress-list heading of its creation
    QString createSql;
    QString indexName;  // empty when the table has no index
    QString indexSql;
};
const std::vector<ServiceTable> &ServiceTables();

// Creates the service database file with its five tables and two indexes. Each
// finished step's progress lines go to `progress`. Throws fb::Error on failure
// (the caller removes the half-made file).
void CreateServiceDatabase(const QString &path, const DatabaseLogin &login,
                           const std::function<void(const QStringList &)> &progress);
