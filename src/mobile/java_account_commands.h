#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class ServiceContext;
struct TTableJavaClient;

// The commands around a client's web account, on the requesting connection's slot.
// All run under the service lock; a database failure they do not catch ends the
// request without an answer.

// "</OpenFormCodZam>": the login with its attempt limit (from the sixth request of a
// connection on, every login is refused) and the birthday greeting.
QByteArray LoginAnswer(ServiceContext &context, TTableJavaClient &slot, const QString &address,
                       const QByteArray &request, const QDateTime &now);

// The status block of a logged-in slot: its active orders, the order it follows, its
// jubilee counts and the service's personal message. Stored in the slot's StatusZam
// (the dispatcher event notifications compare against it) and returned.
QString BuildClientStatus(ServiceContext &context, TTableJavaClient &slot);

// "<CloseFormCodZam>": back to a connection that is not logged in, with the shorter time.
void Logout(ServiceContext &context, TTableJavaClient &slot, const QString &address, const QDateTime &now);

// "<ClearMsgFormCodZam>": the client has read the service's personal message.
void ClearPersonalMessage(ServiceContext &context, const TTableJavaClient &slot);

// "</SendMsgFormCodZam>": a message to the service, kept among the complaints.
void SendMessageToService(ServiceContext &context, const TTableJavaClient &slot, const QByteArray &request,
                          const QDateTime &now);
