#pragma once

#include <QString>

// A value a client sent, as a log line shows it: control characters (CR, LF and the
// rest below 32) appear escaped ("\r", "\n", "\x07"), so that no client can start a
// line of its own in the logs. The databases keep values as sent.
inline QString LogValue(const QString &clientSent)
{
    QString shown;
    shown.reserve(clientSent.size());
    for (const QChar c : clientSent) {
        if (c == u'\r')
            shown += QStringLiteral("\\r");
        else if (c == u'\n')
            shown += QStringLiteral("\\n");
        else if (c.unicode() < 0x20)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
        else
            shown += c;
    }
    return shown;
}
