#include "shell/process_limits.h"

#include <csignal>

namespace {

// The kernel's own ceiling (fs.nr_open) unless raised: a hard limit of "unlimited" cannot be
// taken as a soft one.
constexpr rlim_t kMostDescriptors = 1 << 20;

}  // namespace

rlim_t RaiseDescriptorLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 0;
    const rlim_t wanted = limit.rlim_max == RLIM_INFINITY ? kMostDescriptors : limit.rlim_max;
    if (limit.rlim_cur < wanted) {
        const rlimit raised{wanted, limit.rlim_max};
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit.rlim_cur = wanted;
    }
    return limit.rlim_cur;
}

void IgnoreFileSizeSignal()
{
    struct sigaction action = {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGXFSZ, &action, nullptr);
}
