#pragma once

#include "route/map_points.h"

#include <QString>
#include <QStringList>

#include <vector>

class TDANI;

// The dispatchers' program's route search and measurement, step by step: the full
// crossing matrix of texts scanned in every selection round, the route list as texts,
// one statement per street look-up, nearest point and meeting point. Slow on purpose;
// the engine must give exactly its results. Shares with the engine only the map point
// record and the plane distance formula. The mended nearest-point coordinates and the
// refusal to read outside the tables are applied here as in the engine.
class ReferenceRouteEngine {
public:
    struct Cell {
        int Crosses = 0;
        QString Route;
        int Steps = 0;
        int NoCross = 1;
    };

    ReferenceRouteEngine(TDANI &danni, QString folder);

    void LoadCityMap();
    void BuildCrossingMatrix();
    double PointDistance(int p, int q) const;
    void FindStreetRoutes(const QString &start, const QString &destination);
    void RankRoutes();
    int NearestStreetPoint(const QString &address);
    double RouteLength(const QString &start, const QString &destination, const QString &route);
    double CalcTripDistance(const QString &start, const QString &destination);

    std::vector<TTOCHKA_KARTY> MapPoints;
    int MaxStreetNumber = 0;
    std::vector<std::vector<Cell>> CrossingMatrix;
    QStringList RouteList;

    // What the last CalcTripDistance measured, and the log lines it wrote.
    QStringList lastRoutes;
    std::vector<double> lastLengths;
    double lastMapLength = 0;
    QStringList log;

private:
    const TTOCHKA_KARTY &slot(int number) const;
    int streetOf(const QString &address);
    std::vector<int> objectStreets(const QString &address);
    int mapPointNumber(const QString &address) const;
    Cell *cell(int a, int b);

    TDANI &danni_;
    QString folder_;
};
