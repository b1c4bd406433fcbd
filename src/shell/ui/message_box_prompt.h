#pragma once

#include "common/prompt.h"

#include <QPointer>
#include <QWidget>

// The operator's prompts as modal message boxes and input dialogs, over the
// window the operator is working in.
class MessageBoxPrompt : public Prompt {
public:
    // The program's title, which every box carries. Not the application's display name:
    // Qt would add that to the caption of every window.
    static inline const QString kTitle = QStringLiteral("Web сервіс замовлення таксі \"Tesmora - TAXI\" ver 2.0");

    void setParentWidget(QWidget *parent) { parent_ = parent; }

    void message(const QString &text) override;
    bool question(const QString &text) override;  // Yes / No, No by default
    std::optional<QString> input(const QString &caption, const QString &label,
                                 const QString &value) override;

private:
    QWidget *owner() const;

    QPointer<QWidget> parent_;
};
