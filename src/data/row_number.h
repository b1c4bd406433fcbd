#pragma once

#include <QString>

// The number of a new row, computed inside the INSERT itself: 1 for an empty table,
// otherwise one more than the largest present. Safe because all database work is
// serialised by the service lock.
inline QString NextRowNumber(const QString &table, const QString &column)
{
    const QString max = QStringLiteral("(SELECT MAX(%1) FROM %2)").arg(column, table);
    return QStringLiteral("IIF(%1 IS NULL, 1, %1+1)").arg(max);
}
