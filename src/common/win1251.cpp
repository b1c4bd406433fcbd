#include "common/win1251.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace win1251 {

QString toUnicode(const QByteArray &bytes)
{
    QStringDecoder decoder("windows-1251");
    return decoder.decode(bytes);
}

QByteArray fromUnicode(const QString &text)
{
    QStringEncoder encoder("windows-1251", QStringEncoder::Flag::Default);
    return encoder.encode(text);
}

bool representable(const QString &text)
{
    QStringEncoder encoder("windows-1251", QStringEncoder::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    return !encoder.hasError() && toUnicode(bytes) == text;
}

}  // namespace win1251
