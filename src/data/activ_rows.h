#pragma once

#include <QDateTime>
#include <QString>

class TDANI;

// A row of TABLE_ACTIV, the operator's list of active connections: a web session
// (its identifier) or a mobile connection ("JAVA"), written through GPRS_RIZNE. The
// operator's grid and counters are refreshed after it. Run under the service lock.
// The table keeps whole seconds, as the date-time texts the rows were once written with.
QDateTime WholeSeconds(const QDateTime &moment);

void InsertActivRow(TDANI &danni, const QString &ip, const QString &id, const QDateTime &vhid,
                    const QDateTime &end);
