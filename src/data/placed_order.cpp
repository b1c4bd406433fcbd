#include "data/placed_order.h"

#include <cmath>

PlacedOrder LookUpPlacedOrder(const fb::ConnectParams &dispatch, int number, std::chrono::milliseconds budget)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + budget;
    fb::ConnectParams params = dispatch;
    params.connectTimeout = std::max(1, int(std::ceil(double(budget.count()) / 1000.0)));
    params.callLimit = budget;
    try {
        fb::Attachment attachment;
        attachment.open(params);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return PlacedOrder::Unknown;
        const fb::WorkLimit limit(attachment, left);
        fb::Transaction transaction(attachment);
        fb::Query query(transaction);
        query.openReadOnly(QStringLiteral("SELECT (SELECT COUNT(*) FROM ZAMOVLENNIA WHERE ZAMOVL_NUMBER = ?)\n"
                                          "     + (SELECT COUNT(*) FROM CLOSEZAMOVLENNIA WHERE CZ_NUMBER = ?)\n"
                                          "FROM RDB$DATABASE"),
                           {number, number});
        return !query.isEmpty() && query.field(0).asInt() > 0 ? PlacedOrder::Found : PlacedOrder::NotFound;
    } catch (const fb::Error &) {
        return PlacedOrder::Unknown;
    }
}
