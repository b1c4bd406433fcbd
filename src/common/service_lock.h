#pragma once

#include <mutex>

// The one process-wide lock. Web page handlers hold it for their database and
// engine work; the main thread takes it for every mobile request, database event,
// timer's database work and operator action, so work on the shared query objects
// and the route engine never interleaves. Recursive: handlers call each other.
// Never wait for the main thread while holding it.
std::recursive_mutex &ServiceLock();

using ServiceLockGuard = std::lock_guard<std::recursive_mutex>;
