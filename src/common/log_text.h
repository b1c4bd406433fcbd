#pragma once

#include <QString>

// Characters a client could use to make a log line look like something else: the
// controls (below 32 and the C1 range 0x80-0x9F), the Unicode line and paragraph
// separators (the operator's log view breaks lines at them) and the bidirectional
// controls (which reorder what follows them on screen).
inline bool IsLogDisguise(char16_t c)
{
    return c < 0x20 || (c >= 0x80 && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F
        || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// A value a client sent, as a log line shows it: CR and LF as "\r" and "\n", the other
// characters above as "\x07" or "\u2028", so that no client can start a line of its own
// or disguise one in the logs. The databases keep values as sent.
inline QString LogValue(const QString &clientSent)
{
    QString shown;
    shown.reserve(clientSent.size());
    for (const QChar c : clientSent) {
        const char16_t code = c.unicode();
        if (code == u'\r')
            shown += QStringLiteral("\\r");
        else if (code == u'\n')
            shown += QStringLiteral("\\n");
        else if (code <= 0xFF && IsLogDisguise(code))
            shown += QStringLiteral("\\x%1").arg(int(code), 2, 16, QChar(u'0'));
        else if (IsLogDisguise(code))
            shown += QStringLiteral("\\u%1").arg(int(code), 4, 16, QChar(u'0'));
        else
            shown += c;
    }
    return shown;
}
