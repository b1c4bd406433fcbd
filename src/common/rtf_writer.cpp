#include "common/rtf_writer.h"

#include "common/win1251.h"

#include <QHash>
#include <QSaveFile>

namespace {

// Unicode character -> its Windows-1251 byte, for the bytes 0x80..0xFF.
const QHash<char16_t, uchar> &upperHalf()
{
    static const QHash<char16_t, uchar> table = [] {
        QHash<char16_t, uchar> t;
        for (int b = 0x80; b <= 0xFF; ++b) {
            const QByteArray byte(1, char(b));
            const QString text = win1251::toUnicode(byte);
            if (text.size() == 1 && text.at(0) != QChar::ReplacementCharacter
                && win1251::fromUnicode(text) == byte)
                t.insert(text.at(0).unicode(), uchar(b));
        }
        return t;
    }();
    return table;
}

void appendEscaped(QByteArray &out, const QString &line)
{
    static const char hex[] = "0123456789abcdef";
    const QHash<char16_t, uchar> &table = upperHalf();
    for (QChar ch : line) {
        const char16_t c = ch.unicode();
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += '\\';
            out += char(c);
        } else if (c == u'\t') {
            out += "\\tab ";
        } else if (c == u'\n') {
            out += "\\line ";
        } else if (c < 0x20 || c == 0x7F) {
            // other control characters have no place in a document
        } else if (c < 0x80) {
            out += char(c);
        } else if (auto it = table.constFind(c); it != table.cend()) {
            out += "\\'";
            out += hex[*it >> 4];
            out += hex[*it & 0xF];
        } else {
            // \uN takes a signed 16-bit N; a surrogate pair goes as its two halves.
            out += "\\u";
            out += QByteArray::number(int(qint16(c)));
            out += '?';
        }
    }
}

}  // namespace

QByteArray RtfDocument(const QStringList &lines)
{
    QByteArray out =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0 {\\fonttbl{\\f0\\fnil\\fcharset204 Courier New;}}\r\n"
        "\\uc1\\pard\\f0\\fs20 ";
    for (const QString &line : lines) {
        QString text = line;
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(u'\r', u'\n');
        appendEscaped(out, text);
        out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

bool SaveRtf(const QString &path, const QStringList &lines, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = RtfDocument(lines);
    // QSaveFile's commit misses a write that fails only when its buffer is flushed (a
    // full disk) and would put a short file in place: every byte is flushed and
    // checked first.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    if (error)
        error->clear();
    return true;
}
