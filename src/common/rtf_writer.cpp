#include "common/rtf_writer.h"

#include "common/win1251.h"

#include <QHash>
#include <QSaveFile>

#include <algorithm>

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

// A line break inside a line of the plain document is a \line; in runs it ends a paragraph.
enum class LineBreak { Line, Paragraph };

void appendEscaped(QByteArray &out, const QString &line, LineBreak lineBreak = LineBreak::Line)
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
            out += lineBreak == LineBreak::Line ? "\\line " : "\\par\r\n";
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

QString unifiedLineBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

QByteArray header(const QByteArray &colourTable = {})
{
    return "{\\rtf1\\ansi\\ansicpg1251\\deff0 {\\fonttbl{\\f0\\fnil\\fcharset204 Courier New;}}" + colourTable
        + "\r\n\\uc1\\pard\\f0\\fs20 ";
}

bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
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

}  // namespace

QByteArray RtfDocument(const QStringList &lines)
{
    QByteArray out = header();
    for (const QString &line : lines) {
        appendEscaped(out, unifiedLineBreaks(line));
        out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

QByteArray RtfFormattedDocument(const RtfRuns &runs)
{
    // Entry 0 of the table is the reader's default colour; the runs' colours follow.
    std::vector<unsigned> colours;
    for (const RtfRun &run : runs)
        if (run.colour && std::find(colours.begin(), colours.end(), *run.colour) == colours.end())
            colours.push_back(*run.colour);
    QByteArray table;
    if (!colours.empty()) {
        table = "{\\colortbl;";
        for (const unsigned rgb : colours)
            table += "\\red" + QByteArray::number((rgb >> 16) & 0xFF) + "\\green" + QByteArray::number((rgb >> 8) & 0xFF)
                + "\\blue" + QByteArray::number(rgb & 0xFF) + ';';
        table += '}';
    }

    QByteArray out = header(table);
    bool bold = false;
    qsizetype colour = 0;
    for (const RtfRun &run : runs) {
        if (run.bold != bold) {
            bold = run.bold;
            out += bold ? "\\b " : "\\b0 ";
        }
        const qsizetype wanted =
            run.colour ? std::find(colours.begin(), colours.end(), *run.colour) - colours.begin() + 1 : 0;
        if (wanted != colour) {
            colour = wanted;
            out += "\\cf" + QByteArray::number(colour) + ' ';
        }
        appendEscaped(out, unifiedLineBreaks(run.text), LineBreak::Paragraph);
    }
    out += "\\par\r\n}\r\n";
    return out;
}

bool SaveRtf(const QString &path, const QStringList &lines, QString *error)
{
    return writeAtomically(path, RtfDocument(lines), error);
}

bool SaveFormattedRtf(const QString &path, const RtfRuns &runs, QString *error)
{
    return writeAtomically(path, RtfFormattedDocument(runs), error);
}
