#pragma once

#include "common/prompt.h"

#include <QStringList>

#include <deque>

namespace kvtest {

// Answers like an operator who follows a script: records every message and
// question, answers questions from `answers` (No once they run out).
class ScriptedPrompt : public Prompt {
public:
    QStringList messages;
    QStringList questions;
    std::deque<bool> answers;

    void message(const QString &text) override { messages << text; }
    bool question(const QString &text) override
    {
        questions << text;
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<QString> input(const QString &, const QString &, const QString &value) override
    {
        return value;
    }
};

}  // namespace kvtest
