#include "common/text_encoding.h"

#include "common/win1251.h"

#include <QStringDecoder>

namespace {

bool hasNonAscii(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    }
    return false;
}

}  // namespace

bool HasUtf8Bom(const QByteArray &bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF");
}

bool IsValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString ignored = decoder.decode(bytes);
    Q_UNUSED(ignored);
    return !decoder.hasError();
}

QString DecodeLegacyText(const QByteArray &bytes, bool *wasUtf8)
{
    const bool bom = HasUtf8Bom(bytes);
    const bool utf8 = (bom || hasNonAscii(bytes)) && IsValidUtf8(bytes);
    if (wasUtf8)
        *wasUtf8 = utf8;
    if (!utf8)
        return win1251::toUnicode(bytes);
    return QString::fromUtf8(bom ? bytes.mid(3) : bytes);
}
