#pragma once

#include "common/prompt.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <utility>

namespace kvtest {

// Answers like an operator who follows a script: records every message and
// question, answers questions from `answers` (No once they run out) and input boxes
// from `inputs` (none is Cancel; the preset value once they run out).
class ScriptedPrompt : public Prompt {
public:
    QStringList messages;
    QStringList questions;
    std::deque<bool> answers;
    std::deque<std::optional<QString>> inputs;
    // Runs once, while the next question is open: what others do while the person
    // thinks it over.
    std::function<void()> whileAsking;

    void message(const QString &text) override { messages << text; }
    bool question(const QString &text) override
    {
        questions << text;
        if (const std::function<void()> hook = std::exchange(whileAsking, nullptr))
            hook();
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<QString> input(const QString &, const QString &, const QString &value) override
    {
        if (inputs.empty())
            return value;
        const std::optional<QString> answer = inputs.front();
        inputs.pop_front();
        return answer;
    }
};

}  // namespace kvtest
