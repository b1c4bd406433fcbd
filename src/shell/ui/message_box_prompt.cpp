#include "shell/ui/message_box_prompt.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace {

QMessageBox::StandardButton showBox(QWidget *parent, QMessageBox::Icon icon, const QString &text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, MessageBoxPrompt::kTitle, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    // The advert and log windows stay on top: the box must not hide behind them.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return QMessageBox::StandardButton(box.exec());
}

}  // namespace

QWidget *MessageBoxPrompt::owner() const
{
    // A window shown modally (the log or advert window) owns the box while it is up.
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return parent_;
}

void MessageBoxPrompt::message(const QString &text)
{
    showBox(owner(), QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool MessageBoxPrompt::question(const QString &text)
{
    return showBox(owner(), QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No,
                   QMessageBox::No)
           == QMessageBox::Yes;
}

std::optional<QString> MessageBoxPrompt::input(const QString &caption, const QString &label,
                                               const QString &value)
{
    bool ok = false;
    const QString text
        = QInputDialog::getText(owner(), caption, label, QLineEdit::Normal, value, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}
