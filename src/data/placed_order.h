#pragma once

#include "data/fb.h"

#include <chrono>

// Whether an order whose commit went unanswered stands in the dispatchers' tables.
enum class PlacedOrder { Found, NotFound, Unknown };

// Looks the order's number up in ZAMOVLENNIA and, as a dispatcher may have closed it
// already, in CLOSEZAMOVLENNIA, on a connection of its own: connecting and looking up
// together take at most `budget`. Unknown when the server cannot be reached within it.
// Touches no shared query object: run it without the service lock.
PlacedOrder LookUpPlacedOrder(const fb::ConnectParams &dispatch, int number, std::chrono::milliseconds budget);
