#include "shell/service_context.h"

ServiceContext::ServiceContext(QString folder_, Prompt &prompt_)
    : folder(std::move(folder_)), prompt(prompt_),
      webLog(folder, QStringLiteral("_LOG_PIDKL.RTF"), [this] { return settings.KIL_LOG_POZ; }),
      mobileLog(folder, QStringLiteral("_LOG_PIDKL_JAVA.RTF"),
                [this] { return settings.JAVA_KIL_LOG_POZ; })
{
    // One limit for LOG/, which both logs fill.
    for (OperatorLog *log : {&webLog, &mobileLog})
        log->setFolderCap([this] { return settings.MAX_ROZMIR_LOG_MB; });
}
