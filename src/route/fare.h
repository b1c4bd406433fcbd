#pragma once

#include <QString>

class TDANI;

// The fare of a trip by the tariff named `tariffName` in TARIFI: taking price, town
// kilometres, out-of-town kilometres, waiting minutes and, when `advance` is 1, the
// advance-order surcharge. 0 for an unknown tariff. Database errors reach the caller.
double LoadTariff(TDANI &danni, const QString &tariffName, int advance, double townKm, double outOfTownKm,
                  double waitMinutes);

// A distance or sum as the callers show and price it: cut, not rounded, after the
// second decimal of its shortest decimal form (3.8752 -> 3.87, 3.8 stays 3.8).
double CutAfterTwoDecimals(double value);
