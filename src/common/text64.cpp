#include "common/text64.h"

#include "common/win1251.h"

namespace {

// Value of a Base64 character; -1 outside the alphabet, 0 for the padding '='.
int sextet(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    if (c == '=')
        return 0;
    return -1;
}

}  // namespace

QByteArray EncodeText64(const QString &text)
{
    if (text.isEmpty())
        return {};
    return win1251::representableText(text).toUtf8().toBase64();
}

QByteArray DecodeText64Bytes(const QByteArray &base64)
{
    QByteArray out;
    out.reserve(base64.size() / 4 * 3);
    char group[4];
    int filled = 0;
    for (const char c : base64) {
        if (sextet(c) < 0)
            continue;
        group[filled++] = c;
        if (filled < 4)
            continue;
        filled = 0;
        const int v0 = sextet(group[0]), v1 = sextet(group[1]), v2 = sextet(group[2]), v3 = sextet(group[3]);
        out.append(char((v0 << 2) | (v1 >> 4)));
        if (group[2] == '=')
            break;
        out.append(char(((v1 & 0x0F) << 4) | (v2 >> 2)));
        if (group[3] == '=')
            break;
        out.append(char(((v2 & 0x03) << 6) | v3));
    }
    return out;
}

QString DecodeText64(const QByteArray &base64) { return win1251::toUnicode(DecodeText64Bytes(base64)); }
