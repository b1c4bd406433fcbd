// Scanning SQL text for parameter markers, and the rewrite of text parameters.

#include "data/fb_internal.h"

#include <QRegularExpression>

namespace fb::detail {

namespace {

bool isIdentifierChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

// Index just past a literal or quoted identifier opened at `start` with `quote`
// (a doubled quote stands for itself).
int skipQuoted(const QString &sql, int start, QChar quote)
{
    const int n = int(sql.size());
    int i = start + 1;
    while (i < n) {
        if (sql[i] == quote) {
            if (i + 1 < n && sql[i + 1] == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return n;
}

QChar closingDelimiter(QChar open)
{
    switch (open.unicode()) {
    case u'(': return u')';
    case u'[': return u']';
    case u'{': return u'}';
    case u'<': return u'>';
    default: return open;
    }
}

// Index just past whatever starts at i when it is a literal, quoted identifier or
// comment; -1 when sql[i] starts ordinary text.
int skipNonCode(const QString &sql, int i)
{
    const int n = int(sql.size());
    const QChar c = sql[i];
    // Alternative literal q'<delimiter>...<delimiter>' (Firebird 3).
    if ((c == u'q' || c == u'Q') && i + 2 < n && sql[i + 1] == u'\'' &&
        (i == 0 || !isIdentifierChar(sql[i - 1]))) {
        const QChar close = closingDelimiter(sql[i + 2]);
        int j = i + 3;
        while (j + 1 < n && !(sql[j] == close && sql[j + 1] == u'\''))
            ++j;
        return j + 1 < n ? j + 2 : n;
    }
    if (c == u'\'' || c == u'"')
        return skipQuoted(sql, i, c);
    if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
        const int end = int(sql.indexOf(u'\n', i + 2));
        return end < 0 ? n : end + 1;
    }
    if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
        const int end = int(sql.indexOf(QLatin1String("*/"), i + 2));
        return end < 0 ? n : end + 2;
    }
    return -1;
}

}  // namespace

std::vector<int> parameterMarkers(const QString &sql)
{
    std::vector<int> markers;
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        const int skipped = skipNonCode(sql, i);
        if (skipped >= 0) {
            i = skipped;
            continue;
        }
        if (sql[i] == u'?')
            markers.push_back(i);
        ++i;
    }
    return markers;
}

bool isExecuteBlock(const QString &sql)
{
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        if (sql[i].isSpace()) {
            ++i;
            continue;
        }
        const bool comment = (sql[i] == u'-' || sql[i] == u'/');
        const int skipped = comment ? skipNonCode(sql, i) : -1;
        if (skipped < 0)
            break;
        i = skipped;
    }
    static const QRegularExpression executeBlock(QStringLiteral("^EXECUTE\\s+BLOCK\\b"),
                                                 QRegularExpression::CaseInsensitiveOption);
    return executeBlock.match(QStringView(sql).mid(i)).hasMatch();
}

QString castTextMarkers(const QString &sql, const std::vector<int> &widths)
{
    const std::vector<int> markers = parameterMarkers(sql);
    QString out;
    out.reserve(sql.size() + 32 * int(markers.size()));
    int copied = 0;
    for (size_t k = 0; k < markers.size() && k < widths.size(); ++k) {
        if (widths[k] <= 0)
            continue;
        out += QStringView(sql).mid(copied, markers[k] - copied);
        out += QStringLiteral("CAST(? AS VARCHAR(%1))").arg(widths[k]);
        copied = markers[k] + 1;
    }
    out += QStringView(sql).mid(copied);
    return out;
}

}  // namespace fb::detail
