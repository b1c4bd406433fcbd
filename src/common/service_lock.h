#pragma once

#include <mutex>

// The one process-wide lock. Web page handlers hold it for their database and
// engine work; the main thread takes it for every mobile request, database event,
// timer's database work and operator action, so work on the shared query objects
// and the route engine never interleaves. Recursive: handlers call each other.
// Never wait for the main thread, nor on the network, while holding it.
std::recursive_mutex &ServiceLock();

// Holds the service lock for its lifetime, and counts how deep this thread holds it,
// so that a wait on the network can let go of every level at once. The wait for the
// outermost level goes to the service's lock-wait figures.
class ServiceLockGuard {
public:
    explicit ServiceLockGuard(std::recursive_mutex &lock = ServiceLock());
    ~ServiceLockGuard();
    ServiceLockGuard(const ServiceLockGuard &) = delete;
    ServiceLockGuard &operator=(const ServiceLockGuard &) = delete;

private:
    std::recursive_mutex &lock_;
};

// std::lock_guard that also counts the wait for the outermost level in the lock-wait
// figures: for code that takes the lock as a plain mutex (the web framework's session list).
class CountedLockGuard {
public:
    explicit CountedLockGuard(std::recursive_mutex &lock);
    ~CountedLockGuard();
    CountedLockGuard(const CountedLockGuard &) = delete;
    CountedLockGuard &operator=(const CountedLockGuard &) = delete;

private:
    std::recursive_mutex &lock_;
};

// Lets go of every level of the service lock this thread holds through guards while it
// lives, and takes them all back when it goes: for fetching the online route page.
// Levels taken without a guard (the web framework's own) stay held.
class ServiceLockRelease {
public:
    ServiceLockRelease();
    ~ServiceLockRelease();
    ServiceLockRelease(const ServiceLockRelease &) = delete;
    ServiceLockRelease &operator=(const ServiceLockRelease &) = delete;

private:
    int levels_;
};
