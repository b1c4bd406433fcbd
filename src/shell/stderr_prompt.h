#pragma once

#include "common/prompt.h"

class OperatorLog;

// The console of headless mode: messages go to the web log (which headless mode echoes
// to stderr), or straight to stderr before there is one; questions
// are answered Yes (the only one at start-up is whether to create the service
// database), input boxes keep their value.
class StderrPrompt : public Prompt {
public:
    void setLog(OperatorLog *log) { log_ = log; }

    void message(const QString &text) override;
    bool question(const QString &text) override;
    std::optional<QString> input(const QString &caption, const QString &label,
                                 const QString &value) override;

private:
    OperatorLog *log_ = nullptr;
};
