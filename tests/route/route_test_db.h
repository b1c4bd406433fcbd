#pragma once

#include "data/danni.h"
#include "reference_route_engine.h"
#include "route/route_engine.h"
#include "service_folder.h"

#include <QStringList>

#include <memory>

// A dispatchers' database made by the project's script and opened in a data module,
// with the engine and the reference over it, SETTING_KART.INI, and a second
// connection that plays the dispatchers' program.
class RouteTestDb {
public:
    RouteTestDb();
    ~RouteTestDb();

    kvtest::ServiceFolder folder;
    TDANI danni;
    QStringList log;  // the engine's log lines
    RouteEngine engine;
    ReferenceRouteEngine reference;
    std::unique_ptr<fb::Attachment> dispatcher;

    void exec(const QString &sql, const fb::Params &params = {});
    void street(int number, const QString &name);
    // A map point on up to five streets; a null caption leaves it NULL.
    void point(int number, int x, int y, std::initializer_list<int> streets, const QString &caption = {});
    void writeScale(const QString &length, const QString &lengthPoint);
    void clearMap();
    // Both engines load the map the way the server start does.
    void loadBoth();
};
