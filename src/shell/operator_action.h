#pragma once

#include "common/prompt.h"
#include "common/service_lock.h"

#include <QString>

#include <exception>

// Runs an operator action's database work under the service lock. A failure is told
// to the operator, `failure` first and then the engine's own reason, once the lock is
// free (a message box must not keep the web pages waiting). False when it failed.
template <class Work>
bool RunOperatorWork(Prompt &prompt, const QString &failure, Work &&work)
{
    QString reason;
    {
        ServiceLockGuard lock(ServiceLock());
        try {
            work();
            return true;
        } catch (const std::exception &error) {
            reason = QString::fromUtf8(error.what());
        }
    }
    prompt.message(failure + u'\n' + reason);
    return false;
}
