#pragma once

#include "data/fb.h"

#include <QList>
#include <QString>

namespace kvtest {

// Plays the dispatchers' program on their database: every step is one committed
// transaction, and the database's triggers raise the events the dispatchers' changes
// raise (an order changed or closed, a map point added).
class Dispatcher {
public:
    explicit Dispatcher(const fb::ConnectParams &params);

    // A car takes the order: its callsign and the time it took it.
    void assignCar(int order, const QString &callsign);
    // The driver reports the car at the pickup address.
    void driverArrived(int order);
    // The order leaves the open orders: completed (status 1) or deleted (status -1).
    void complete(int order) { close(order, 1); }
    void remove(int order) { close(order, -1); }
    // A new building on the map, on one street.
    void addBuilding(int number, int x, int y, int street, const QString &caption);

    // Open orders taken by the web service, oldest first, with their state.
    struct OpenOrder {
        int number = 0;
        QString callsign;
        bool arrived = false;
    };
    QList<OpenOrder> openWebOrders();
    QStringList callsigns();

private:
    void close(int order, int status);

    fb::Attachment attachment_;
};

}  // namespace kvtest
