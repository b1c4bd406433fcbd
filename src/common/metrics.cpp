#include "common/metrics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace metrics {

namespace {

constexpr double kNanosecondsPerSecond = 1e9;

std::string number(double value)
{
    if (std::isnan(value))
        return "NaN";
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

}  // namespace

void Histogram::observe(std::chrono::steady_clock::duration took)
{
    const auto nanoseconds = std::max<std::int64_t>(0, std::chrono::duration_cast<std::chrono::nanoseconds>(took).count());
    const double seconds = double(nanoseconds) / kNanosecondsPerSecond;
    const std::size_t bucket = std::size_t(std::lower_bound(kBounds.begin(), kBounds.end(), seconds) - kBounds.begin());
    buckets_[bucket].fetch_add(1, std::memory_order_relaxed);
    if (nanoseconds > 0)  // an uncontended lock adds nothing: no write to the shared line
        sumNanoseconds_.fetch_add(std::uint64_t(nanoseconds), std::memory_order_relaxed);
}

Histogram::Snapshot Histogram::snapshot() const
{
    Snapshot taken;
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < buckets_.size(); ++i)
        taken.cumulative[i] = total += buckets_[i].load(std::memory_order_relaxed);
    taken.sumSeconds = double(sumNanoseconds_.load(std::memory_order_relaxed)) / kNanosecondsPerSecond;
    return taken;
}

Service &Counted()
{
    static Service service;
    return service;
}

void Exposition::family(const char *name, const char *type, const char *help)
{
    text_ += std::string("# HELP ") + name + ' ' + help + "\n# TYPE " + name + ' ' + type + '\n';
}

void Exposition::sample(const char *name, const std::string &labels, double value)
{
    text_ += name;
    if (!labels.empty())
        text_ += '{' + labels + '}';
    text_ += ' ' + number(value) + '\n';
}

void Exposition::histogram(const char *name, const char *help, const Histogram &histogram)
{
    family(name, "histogram", help);
    const Histogram::Snapshot taken = histogram.snapshot();
    const std::string base(name);
    for (std::size_t i = 0; i < Histogram::kBounds.size(); ++i)
        sample((base + "_bucket").c_str(), "le=\"" + number(Histogram::kBounds[i]) + '"', double(taken.cumulative[i]));
    sample((base + "_bucket").c_str(), "le=\"+Inf\"", double(taken.cumulative.back()));
    sample((base + "_sum").c_str(), {}, taken.sumSeconds);
    sample((base + "_count").c_str(), {}, double(taken.cumulative.back()));
}

}  // namespace metrics
