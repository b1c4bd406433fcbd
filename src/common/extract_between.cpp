#include "common/extract_between.h"

namespace {

template <typename Text>
Text extractBetween(const Text &text, const Text &open, const Text &close)
{
    if (open.isEmpty() || close.isEmpty())
        return Text();
    const qsizetype openAt = text.indexOf(open);
    const qsizetype closeAt = text.indexOf(close);
    if (openAt < 0 || closeAt < 0)
        return Text();
    const qsizetype start = openAt + open.size();
    const qsizetype length = closeAt - start;
    // indexOf found both, so 0 <= start <= text.size() and closeAt < text.size().
    if (length <= 0)
        return Text();
    return text.mid(start, length);
}

}  // namespace

QString ExtractBetween(const QString &text, const QString &open, const QString &close)
{
    return extractBetween(text, open, close);
}

QByteArray ExtractBetween(const QByteArray &text, const QByteArray &open, const QByteArray &close)
{
    return extractBetween(text, open, close);
}
