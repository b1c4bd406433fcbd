#pragma once

#include <QString>

#include <optional>

// SETTING_KART.INI: LENGTH_TOCHKA map units on the map are LENGTH metres long.
struct MapScale {
    enum class Status { Ok, Missing, Invalid };
    Status status = Status::Missing;
    double length = 0;
    double lengthPoint = 0;

    // Reads the file of `folder`. Values are decimal numbers with a comma (the
    // dispatchers' Windows format) or a point; absent or empty keys read as 0.
    static MapScale read(const QString &folder);

    // length × LENGTH / LENGTH_TOCHKA / 1000; nullopt when that cannot be computed.
    std::optional<double> kilometres(double mapUnits) const;
};
