#pragma once

#include <QByteArray>
#include <QString>

class ServiceContext;
struct TTableJavaClient;

// The commands that follow orders after they are placed. They only read the
// dispatchers' database and write no log line.

// "</PerevirkaActiveZam>": the state of one order by its number alone, for any client;
// counted among the quick-order entries.
QByteArray OrderStateAnswer(ServiceContext &context, const QByteArray &request);

// "</CheckNumZamFormCodZam>": the order the logged-in client follows from now on.
void ChooseFollowedOrder(TTableJavaClient &slot, const QByteArray &request);

// "<OpenListActivZamovl>": every active order of the logged-in client.
QByteArray ActiveOrdersAnswer(ServiceContext &context, const TTableJavaClient &slot);

// "<OpenListArhivZamovl>": the newest completed orders of the logged-in client.
QByteArray ArchiveOrdersAnswer(ServiceContext &context, const TTableJavaClient &slot);
inline constexpr int kArchiveOrderLimit = 30;

// One list item from the columns date, time, free-ride flag, pickup, destination, sum
// and callsign, as the database gives them.
QString OrderLine(const QString &date, const QString &time, const QString &freeRide, const QString &pickup,
                  const QString &destination, const QString &sum, const QString &callsign);
