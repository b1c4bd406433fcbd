#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

class TDANI;

// The rows of TABLE_ACTIV that mirror the mobile connection table (TABLE_ACTIV_ID
// 'JAVA'), written through GPRS_RIZNE; each write refreshes the operator's grid of
// active connections and its counters. Run under the service lock.
// Rows to write for connections taken and released. A burst of connects or disconnects
// writes its rows together: one commit and one refresh of the operator's grid, instead
// of one each, so that a thousand phones at once are greeted within seconds.
struct JavaActivChange {
    bool taken;  // a new row; otherwise the address's rows go
    QString address;
    QDateTime vhid, end;
};
void WriteJavaActivChanges(TDANI &danni, const std::vector<JavaActivChange> &changes);

// A login or logout moves the planned end of the address's row.
void UpdateJavaActivEnd(TDANI &danni, const QString &address, const QDateTime &end);
