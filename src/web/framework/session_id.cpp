#include "web/framework/session_id.h"

#include <QByteArray>
#include <QRandomGenerator>

QString NewSessionId()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(words), sizeof words).toHex());
}

bool LooksLikeSessionId(const QString &text)
{
    if (text.size() != 32)
        return false;
    for (const QChar c : text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    return true;
}
