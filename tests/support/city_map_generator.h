#pragma once

#include "data/fb.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace kvtest {

// Believable dispatchers' city maps of any size for the route engine's tests, the demo
// and the benchmarks. Lives with the test support, not in src/route: the program itself
// only reads the dispatchers' map and must never carry a map maker.
//
// The city is a street grid: every grid line is cut into streets of a few blocks,
// zig-zag streets run diagonally through the grid nodes (meeting some streets twice and
// making crossings of three streets), a village of a few streets lies apart from the
// town (unreachable), and an optional boulevard is crossed by many short lanes (more
// than 30 candidate routes). Buildings stand along the streets captioned
// "[street]{house}", plain points (one street, no caption) mark bends and blocks, and
// named objects with categories stand along streets or right at crossings.
struct CityOptions {
    int streets = 100;          // exactly this many streets, numbered 1..streets
    unsigned seed = 1;
    bool jitter = true;         // off: grid nodes on exact multiples, many equal lengths
    int villageStreets = 3;     // streets of the village apart from the town
    int boulevardLanes = 0;     // lanes crossing the boulevard; 0: no boulevard
    bool shuffleRows = true;    // insert map points out of number order
};

struct CityStreet {
    int number = 0;
    QString name;
};

struct CityPoint {
    int number = 0;
    int x = 0;
    int y = 0;
    std::array<int, 5> streets{};   // KOORD_KART_MISTA_PUKT_1..5
    QString caption;                 // KOORD_KART_MISTA_PIDPIS; null (NULL) for plain points
    QString status;                  // KOORD_KART_MISTA_STATUS; empty: NULL
};

struct CityMap {
    std::vector<CityStreet> streets;
    std::vector<CityPoint> points;  // in the order they are inserted
    QStringList buildings;          // captions "[street]{house}"
    QStringList objects;            // captions of named objects
    int boulevard = 0;              // number of the boulevard street, 0 without one
    std::vector<int> villageStreetNumbers;
};

CityMap GenerateCity(const CityOptions &options);

// Writes the streets and map points into VULICA_LUCK and KARTA_MISTA (which must exist,
// see scripts/make-dispatch-db) with bound parameters, in one transaction.
void WriteCity(fb::Attachment &attachment, const CityMap &city);

// Empties VULICA_LUCK and KARTA_MISTA, so that one database serves several maps.
void ClearCity(fb::Attachment &attachment);

}  // namespace kvtest
