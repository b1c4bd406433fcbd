#pragma once

#include <QDateTime>
#include <QString>

class TDANI;

// The rows of TABLE_ACTIV of web sessions, under the session's application
// identifier; each write refreshes the operator's grid of active connections.
// Run under the service lock.
void InsertWebActivRow(TDANI &danni, const QString &ip, const QString &id, const QDateTime &vhid,
                       const QDateTime &end);

// The session's row as the exit line shows it; empty texts when there is none.
struct WebActivRow {
    bool found = false;
    QString ip, kod, vhid, end;
};
WebActivRow FindWebActivRow(TDANI &danni, const QString &id);
void DeleteWebActivRow(TDANI &danni, const QString &id);

// Identifiers of the rows whose planned end has come.
QStringList ExpiredActivIds(TDANI &danni, const QDateTime &now);
