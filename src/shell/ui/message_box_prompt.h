#pragma once

#include "common/prompt.h"

#include <QPointer>
#include <QWidget>

// The operator's prompts as modal message boxes and input dialogs, over the
// window the operator is working in.
class MessageBoxPrompt : public Prompt {
public:
    void setParentWidget(QWidget *parent) { parent_ = parent; }

    void message(const QString &text) override;
    bool question(const QString &text) override;  // Yes / No, No by default
    std::optional<QString> input(const QString &caption, const QString &label,
                                 const QString &value) override;

private:
    QWidget *owner() const;

    QPointer<QWidget> parent_;
};
