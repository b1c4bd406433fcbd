#include "common/metrics.h"
#include "common/service_lock.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using metrics::Histogram;

// A duration on a bound belongs to that bound's bucket ("le"); past the last, to +Inf.
TEST(Metrics, HistogramBucketsAreCumulativeAndBoundsInclusive)
{
    const struct {
        std::chrono::nanoseconds took;
        std::size_t firstBucket;  // the first cumulative bucket that holds it
    } cases[] = {{0ns, 0}, {100us, 0}, {101us, 1}, {1s, 12}, {30s, 16}, {31s, 17}};
    for (const auto &c : cases) {
        Histogram histogram;
        histogram.observe(c.took);
        const Histogram::Snapshot taken = histogram.snapshot();
        for (std::size_t i = 0; i < taken.cumulative.size(); ++i)
            EXPECT_EQ(taken.cumulative[i], i >= c.firstBucket ? 1u : 0u) << c.took.count() << "ns, bucket " << i;
        EXPECT_DOUBLE_EQ(taken.sumSeconds, std::chrono::duration<double>(c.took).count());
    }
}

TEST(Metrics, ExpositionWritesFamiliesAndHistogramsInTheTextFormat)
{
    Histogram histogram;
    histogram.observe(2ms);
    metrics::Exposition out;
    out.family("x_total", "counter", "Things.");
    out.sample("x_total", R"(kind="a")", 3);
    out.histogram("x_seconds", "Times.", histogram);
    const std::string &text = out.text();
    EXPECT_EQ(text.rfind("# HELP x_total Things.\n# TYPE x_total counter\nx_total{kind=\"a\"} 3\n", 0), 0u) << text;
    EXPECT_NE(text.find("x_seconds_bucket{le=\"0.001\"} 0\nx_seconds_bucket{le=\"0.0025\"} 1\n"), std::string::npos);
    EXPECT_NE(text.find("x_seconds_bucket{le=\"+Inf\"} 1\nx_seconds_sum 0.002\nx_seconds_count 1\n"), std::string::npos);
}

// Only the outermost level of the service lock is a wait worth counting, through either guard.
TEST(Metrics, OnlyTheOutermostTakingOfTheServiceLockIsCounted)
{
    const auto waits = [] { return metrics::Counted().serviceLockWait.snapshot().cumulative.back(); };
    const auto before = waits();
    {
        ServiceLockGuard outer(ServiceLock());
        ServiceLockGuard inner(ServiceLock());
        CountedLockGuard framework(ServiceLock());
        {
            const ServiceLockRelease released;  // the framework's level stays held
            ServiceLockGuard again(ServiceLock());
        }
    }
    {
        ServiceLockGuard outer(ServiceLock());
        const ServiceLockRelease released;  // nothing held: taking it back is a wait again
    }
    CountedLockGuard alone(ServiceLock());
    EXPECT_EQ(waits() - before, 4u);
}

}  // namespace
