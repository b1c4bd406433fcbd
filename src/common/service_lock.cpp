#include "common/service_lock.h"

std::recursive_mutex &ServiceLock()
{
    static std::recursive_mutex lock;
    return lock;
}
