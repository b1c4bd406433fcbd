#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

// Types `text` over the whole content of `edit`, as the operator would.
inline void TypeInto(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(edit, &press);
}

// Delivers the queued signals (log lines, counters, grids) waiting for the main thread.
inline void DeliverQueued() { QCoreApplication::processEvents(); }
