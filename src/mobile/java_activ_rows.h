#pragma once

#include <QDateTime>
#include <QString>

class TDANI;

// The rows of TABLE_ACTIV that mirror the mobile connection table (TABLE_ACTIV_ID
// 'JAVA'), written through GPRS_RIZNE; each write refreshes the operator's grid of
// active connections and its counters. Run under the service lock.
void InsertJavaActivRow(TDANI &danni, const QString &address, const QDateTime &vhid, const QDateTime &end);
void DeleteJavaActivRows(TDANI &danni, const QString &address);
// A login or logout moves the planned end of the address's row.
void UpdateJavaActivEnd(TDANI &danni, const QString &address, const QDateTime &end);
