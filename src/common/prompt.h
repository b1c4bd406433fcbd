#pragma once

#include <QString>

#include <optional>

// How operator logic talks to the person at the console: the windows answer with
// message boxes, headless mode with stderr and fixed answers, tests with a script.
class Prompt {
public:
    virtual ~Prompt() = default;
    virtual void message(const QString &text) = 0;
    virtual bool question(const QString &text) = 0;  // true for Yes
    virtual std::optional<QString> input(const QString &caption, const QString &label,
                                         const QString &value) = 0;
};
