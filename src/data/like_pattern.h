#pragma once

#include <QString>

// Client- and operator-typed text inside a LIKE pattern ('%' || ? || '%') matches
// literally: its % and _ would otherwise be wildcards (a telephone "_____" would
// match anyone's). Statements add kLikeEscape after such a pattern.
inline constexpr const char *kLikeEscape = " ESCAPE '\\'";

inline QString LikeLiteral(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            escaped += u'\\';
        escaped += c;
    }
    return escaped;
}
