#include "common/win1251.h"

#include <QHash>
#include <QStringDecoder>

#include <array>

namespace win1251 {

namespace {

// The code page is one byte per character: the system's converter is asked once for
// the upper half, and every later conversion is a table look-up (texts are converted
// at every database value and every protocol answer).
struct CodePage {
    std::array<char16_t, 128> upper{};  // bytes 0x80..0xFF
    QHash<char16_t, char> bytes;        // the characters it has beyond ASCII

    CodePage()
    {
        QByteArray half;
        for (int b = 0x80; b <= 0xFF; ++b)
            half.append(char(b));
        QStringDecoder decoder("windows-1251");
        const QString text = decoder.decode(half);
        for (int i = 0; i < 128 && i < text.size(); ++i) {
            upper[size_t(i)] = text[i].unicode();
            if (text[i] != QChar::ReplacementCharacter)
                bytes.insert(text[i].unicode(), char(0x80 + i));
        }
    }
};

const CodePage &codePage()
{
    static const CodePage page;
    return page;
}

}  // namespace

QString toUnicode(const QByteArray &bytes)
{
    const CodePage &page = codePage();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = QChar(b < 0x80 ? char16_t(b) : page.upper[b - 0x80]);
    }
    return text;
}

QString representableText(const QString &text)
{
    const CodePage &page = codePage();
    QString result = text;
    for (QChar &c : result)
        if (c.unicode() >= 0x80 && !page.bytes.contains(c.unicode()))
            c = u'?';
    return result;
}

QByteArray fromUnicode(const QString &text)
{
    const CodePage &page = codePage();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    for (const QChar c : text)
        *out++ = c.unicode() < 0x80 ? char(c.unicode()) : page.bytes.value(c.unicode(), '?');
    return bytes;
}

bool representable(const QString &text)
{
    const CodePage &page = codePage();
    for (const QChar c : text)
        if (c.unicode() >= 0x80 && !page.bytes.contains(c.unicode()))
            return false;
    return true;
}

}  // namespace win1251
