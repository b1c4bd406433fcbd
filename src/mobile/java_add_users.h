#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class ServiceContext;

// "</AddUsers>": a client applies from the application for a web account. The request
// lands in TABLE_ZAYAVKA for the operator, or the answer lists what is wrong. Accepted
// whatever the registration form's blocking flag says. Run under the service lock.
QByteArray AddUsersAnswer(ServiceContext &context, const QString &address, const QByteArray &request,
                          const QDateTime &now);
