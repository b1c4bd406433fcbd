#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class RouteEngine;
class ServiceContext;
struct OnlinePolicy;
struct TTableJavaClient;

// The commands that place orders and price trips. They run under the service lock;
// a database failure outside the order insert ends the request without an answer.
// A trip off the map is measured by the online route page as `online` says: the mobile
// server defers the fetch (the request is run again once the distance is known).

// "</CreateZam>": the quick order of any connected client (from `address`), checked
// against its telephone. Does not touch the slot.
QByteArray QuickOrderAnswer(ServiceContext &context, RouteEngine &routes, const QString &address,
                            const QByteArray &request, const QDateTime &now);

// "</CreateZamCodForm>": the order of a logged-in client, priced on the map, with the
// jubilee trip's checks. The slot follows the client's newest order afterwards.
QByteArray CodedOrderAnswer(ServiceContext &context, RouteEngine &routes, TTableJavaClient &slot,
                            const QByteArray &request, const QDateTime &now, const OnlinePolicy &online);

// "</RozrahSuma>": the fare of a trip by the service's main tariff.
QByteArray FareEstimateAnswer(ServiceContext &context, RouteEngine &routes, const QByteArray &request,
                              const OnlinePolicy &online);

// The log line (after its "[" and date-time) for an order answer sent to `address`.
QString OrderLogLine(const QByteArray &answer, const QString &address);
