#include "common/service_lock.h"

#include "common/metrics.h"

namespace {

thread_local int heldLevels = 0;   // taken through ServiceLockGuard
thread_local int takenLevels = 0;  // taken through either guard: only the outermost wait counts

void lockCounted(std::recursive_mutex &lock)
{
    if (takenLevels++ > 0) {
        lock.lock();
        return;
    }
    metrics::Histogram &waits = metrics::Counted().serviceLockWait;
    if (lock.try_lock()) {
        waits.observe({});  // no clock read when nobody holds it
        return;
    }
    const metrics::Timed timed(waits);
    lock.lock();
}

}  // namespace

std::recursive_mutex &ServiceLock()
{
    static std::recursive_mutex lock;
    return lock;
}

ServiceLockGuard::ServiceLockGuard(std::recursive_mutex &lock) : lock_(lock)
{
    lockCounted(lock_);
    ++heldLevels;
}

ServiceLockGuard::~ServiceLockGuard()
{
    --heldLevels;
    --takenLevels;
    lock_.unlock();
}

CountedLockGuard::CountedLockGuard(std::recursive_mutex &lock) : lock_(lock) { lockCounted(lock_); }

CountedLockGuard::~CountedLockGuard()
{
    --takenLevels;
    lock_.unlock();
}

ServiceLockRelease::ServiceLockRelease() : levels_(heldLevels)
{
    for (int level = 0; level < levels_; ++level)
        ServiceLock().unlock();
    heldLevels = 0;
    takenLevels -= levels_;
}

ServiceLockRelease::~ServiceLockRelease()
{
    // Taking it back is a wait like any other (after a route page, it is often the longest).
    for (int level = 0; level < levels_; ++level)
        lockCounted(ServiceLock());
    heldLevels = levels_;
}
