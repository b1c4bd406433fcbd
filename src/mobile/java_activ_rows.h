#pragma once

#include <QDateTime>
#include <QString>

class TDANI;

// The rows of TABLE_ACTIV that mirror the mobile connection table (TABLE_ACTIV_ID
// 'JAVA'), written through GPRS_RIZNE; each write refreshes the operator's counters of
// active connections at once and their grid soon after (TDANI::RefreshActivSoon). Run
// under the service lock, on the main thread.
void InsertJavaActivRow(TDANI &danni, const QString &address, const QDateTime &vhid, const QDateTime &end);
void DeleteJavaActivRows(TDANI &danni, const QString &address);
// A login or logout moves the planned end of the address's row.
void UpdateJavaActivEnd(TDANI &danni, const QString &address, const QDateTime &end);
