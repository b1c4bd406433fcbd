#include "mobile/java_framing.h"

#include "common/extract_between.h"
#include "common/text64.h"

#include <cstring>

std::optional<QByteArray> TakeJavaRequest(QByteArray &buffer)
{
    constexpr qsizetype kEndLength = sizeof(kJavaRequestEnd) - 1;
    qsizetype start = 0;
    while (buffer.size() - start >= kEndLength
           && std::memcmp(buffer.constData() + start, kJavaRequestEnd, size_t(kEndLength)) == 0)
        start += kEndLength;
    const qsizetype end = buffer.indexOf(kJavaRequestEnd, start);
    if (end < 0) {
        buffer.remove(0, start);
        return std::nullopt;
    }
    QByteArray request = buffer.mid(start, end - start);
    buffer.remove(0, end + kEndLength);
    return request;
}

QByteArray TrimJavaField(const QByteArray &field)
{
    qsizetype begin = 0;
    qsizetype end = field.size();
    while (begin < end && quint8(field[begin]) <= 32)
        ++begin;
    while (end > begin && quint8(field[end - 1]) <= 32)
        --end;
    return field.mid(begin, end - begin);
}

QByteArray JavaElement(const QByteArray &name, const QByteArray &value)
{
    return '<' + name + '>' + value + "</" + name + '>';
}

QByteArray JavaListItem(int k, const QString &text)
{
    return JavaElement('#' + QByteArray::number(k), EncodeText64(text));
}

QString TrimJavaText(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

std::optional<qint32> ReadJavaNumber(const QString &text)
{
    bool ok = false;
    const qint32 number = TrimJavaText(text).toInt(&ok);
    return ok ? std::optional(number) : std::nullopt;
}

QByteArray JavaField(const QByteArray &request, const char *openTag, const char *closeTag)
{
    return ExtractBetween(request, QByteArray(openTag), QByteArray(closeTag));
}

QString JoinJavaErrors(const QStringList &messages, const QString &separator)
{
    return messages.join(separator);
}

QByteArray JavaErrorElement(const QString &errorText)
{
    return "<Error>" + EncodeText64(errorText) + "</Error>";
}
