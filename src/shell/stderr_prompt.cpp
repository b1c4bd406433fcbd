#include "shell/stderr_prompt.h"

#include "shell/operator_log.h"

#include <cstdio>

void StderrPrompt::message(const QString &text)
{
    // Headless mode echoes the log's lines to stderr.
    if (log_)
        log_->event(QStringLiteral("]: ") + text);
    else
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

bool StderrPrompt::question(const QString &text)
{
    std::fprintf(stderr, "%s -> Yes\n", text.toUtf8().constData());
    return true;
}

std::optional<QString> StderrPrompt::input(const QString &, const QString &, const QString &value)
{
    return value;
}
