#include "common/win1251.h"

#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

namespace win1251 {

QString toUnicode(const QByteArray &bytes)
{
    QStringDecoder decoder("windows-1251");
    return decoder.decode(bytes);
}

QString representableText(const QString &text)
{
    static const QSet<char16_t> upperHalf = [] {
        QByteArray bytes;
        for (int b = 0x80; b <= 0xFF; ++b)
            bytes.append(char(b));
        QSet<char16_t> set;
        for (const QChar c : toUnicode(bytes))
            if (c != QChar::ReplacementCharacter)
                set.insert(c.unicode());
        return set;
    }();
    QString result = text;
    for (QChar &c : result)
        if (c.unicode() >= 0x80 && !upperHalf.contains(c.unicode()))
            c = u'?';
    return result;
}

QByteArray fromUnicode(const QString &text)
{
    QStringEncoder encoder("windows-1251", QStringEncoder::Flag::Default);
    return encoder.encode(representableText(text));
}

bool representable(const QString &text)
{
    QStringEncoder encoder("windows-1251", QStringEncoder::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    return !encoder.hasError() && toUnicode(bytes) == text;
}

}  // namespace win1251
