#include "shell/log_value.h"

QString LogValue(const QString &value)
{
    QString shown;
    shown.reserve(value.size());
    for (const QChar c : value) {
        if (c.unicode() >= 32) {
            shown += c;
            continue;
        }
        switch (c.unicode()) {
        case u'\r': shown += QStringLiteral("\\r"); break;
        case u'\n': shown += QStringLiteral("\\n"); break;
        case u'\t': shown += QStringLiteral("\\t"); break;
        default: shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0')); break;
        }
    }
    return shown;
}
