#pragma once

#include <stdexcept>

// A point or street number that would reach outside the engine's tables: the
// calculation is given up (distance 0) instead of reading outside them.
class RouteIndexError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
