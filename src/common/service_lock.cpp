#include "common/service_lock.h"

namespace {

thread_local int heldLevels = 0;

}  // namespace

std::recursive_mutex &ServiceLock()
{
    static std::recursive_mutex lock;
    return lock;
}

ServiceLockGuard::ServiceLockGuard(std::recursive_mutex &lock) : lock_(lock)
{
    lock_.lock();
    ++heldLevels;
}

ServiceLockGuard::~ServiceLockGuard()
{
    --heldLevels;
    lock_.unlock();
}

ServiceLockRelease::ServiceLockRelease() : levels_(heldLevels)
{
    for (int level = 0; level < levels_; ++level)
        ServiceLock().unlock();
    heldLevels = 0;
}

ServiceLockRelease::~ServiceLockRelease()
{
    for (int level = 0; level < levels_; ++level)
        ServiceLock().lock();
    heldLevels = levels_;
}
