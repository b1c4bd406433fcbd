#include "common/rtf_reader.h"

#include "common/text_encoding.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>

#include <vector>

namespace {

// Destinations whose text is not part of the document's text.
const QSet<QByteArray> &skippedDestinations()
{
    static const QSet<QByteArray> names = {
        "aftncn", "aftnsep", "aftnsepc", "annotation", "atnauthor", "atndate", "atnicn", "atnid",
        "atnparent", "atnref", "atntime", "atrfend", "atrfstart", "author", "background",
        "bkmkend", "bkmkstart", "blipuid", "buptim", "category", "colorschememapping",
        "comment", "company", "creatim", "datafield", "datastore", "defchp", "defpap",
        "do", "doccomm", "docvar", "dptxbxtext", "ebcend", "ebcstart", "factoidname", "falt",
        "fchars", "ffdeftext", "ffentrymcr", "ffexitmcr", "ffformat", "ffhelptext", "ffl",
        "ffname", "ffstattext", "file", "filetbl", "fldinst", "fldtype", "fname", "fontemb",
        "fontfile", "footer", "footerf", "footerl", "footerr", "footnote", "formfield", "ftncn",
        "ftnsep", "ftnsepc", "g", "generator", "gridtbl", "header", "headerf", "headerl",
        "headerr", "hl", "hlfr", "hlinkbase", "hlloc", "hlsrc", "hsv", "htmltag", "info",
        "keycode", "keywords", "latentstyles", "lchars", "levelnumbers", "leveltext", "lfolevel",
        "linkval", "list", "listlevel", "listname", "listoverride", "listoverridetable",
        "listpicture", "liststylename", "listtable", "lsdlockedexcept", "mailmerge", "manager",
        "nesttableprops", "nextfile", "nonesttables", "nonshppict", "objalias", "objclass",
        "objdata", "object", "objname", "objsect", "objtime", "oldcprops", "oldpprops",
        "oldsprops", "oldtprops", "oleclsid", "operator", "panose", "password", "passwordhash",
        "pgdsctbl", "pgp", "pgptbl", "picprop", "pict", "pn", "pnseclvl", "pntexta", "pntextb",
        "printim", "private", "propname", "protend", "protstart", "protusertbl", "pxe", "result",
        "revtbl", "revtim", "rsidtbl", "rxe", "shp", "shpgrp", "shpinst", "shppict", "shprslt",
        "shptxt", "sn", "sp", "staticval", "stylesheet", "subject", "sv", "svb", "tc",
        "template", "themedata", "title", "txe", "ud", "upr", "userprops", "wgrffmtfilter",
        "windowcaption", "writereservation", "writereservhash", "xe", "xform", "xmlattrname",
        "xmlattrvalue", "xmlclose", "xmlname", "xmlnstbl", "xmlopen",
    };
    return names;
}

// \fcharsetN -> Windows code page; 0 when the charset names none in particular
// (ANSI, default, symbol...), and the document's code page applies.
int charsetCodePage(int charset)
{
    switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 0;
    }
}

QString decodeCodePage(const QByteArray &bytes, int codePage)
{
    // code page -> a name the converter knows (per thread: web threads read RTF too)
    thread_local QHash<int, QByteArray> names;
    auto it = names.constFind(codePage);
    if (it == names.cend()) {
        QByteArray found;
        const QByteArray number = QByteArray::number(codePage);
        const QList<QByteArray> candidates = {
            "windows-" + number, "cp" + number, "IBM" + number,
            codePage == 10000 ? QByteArray("macintosh") : QByteArray(), "windows-1252"};
        for (const QByteArray &name : candidates) {
            if (!name.isEmpty() && QStringDecoder(name.constData()).isValid()) {
                found = name;
                break;
            }
        }
        it = names.insert(codePage, found);
    }
    if (it->isEmpty())
        return QString::fromLatin1(bytes);
    QStringDecoder decoder(it->constData());
    return decoder.decode(bytes);
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class RtfParser {
public:
    explicit RtfParser(const QByteArray &in) : m_in(in) {}

    RtfRuns run()
    {
        const qsizetype n = m_in.size();
        while (m_pos < n) {
            const char c = m_in.at(m_pos);
            if (c == '{') {
                ++m_pos;
                m_skipFallback = 0;
                m_stack.push_back(m_state);
            } else if (c == '}') {
                ++m_pos;
                m_skipFallback = 0;
                if (m_stack.empty())
                    break;
                m_state = m_stack.back();
                m_stack.pop_back();
                if (m_stack.empty())
                    break;  // the document's closing brace
            } else if (c == '\\') {
                controlWord();
            } else {
                ++m_pos;
                if (c == '\r' || c == '\n')
                    continue;  // line ends in RTF source mean nothing
                if (m_state.colourTable && !m_state.skip) {
                    if (c == ';')
                        endColour();
                    continue;
                }
                if (consumeFallback() || !takesText())
                    continue;
                if (c == '\t')
                    appendText(QStringLiteral("\t"));
                else if (static_cast<unsigned char>(c) >= 0x20)
                    appendByte(c);
            }
        }
        flush();
        return m_out;
    }

private:
    struct State {
        bool skip = false;         // inside a destination whose text is not wanted
        bool fontTable = false;    // inside \fonttbl: only font definitions count
        bool colourTable = false;  // inside \colortbl: only colour definitions count
        int uc = 1;                // characters after \uN meant for old readers
        int font = -1;             // current \f, -1: the default font
        bool bold = false;
        int colour = 0;            // current \cf
    };

    struct Look {
        bool bold = false;
        std::optional<unsigned> colour;
        bool operator==(const Look &) const = default;
    };

    bool takesText() const { return !m_state.skip && !m_state.fontTable && !m_state.colourTable; }

    Look currentLook() const
    {
        const qsizetype index = m_state.colour;
        return {m_state.bold, index >= 0 && index < qsizetype(m_colours.size()) ? m_colours[size_t(index)] : std::nullopt};
    }

    // A character written for old readers after \uN: skipped.
    bool consumeFallback()
    {
        if (m_skipFallback <= 0)
            return false;
        --m_skipFallback;
        return true;
    }

    void controlWord()
    {
        const qsizetype n = m_in.size();
        ++m_pos;  // the backslash
        if (m_pos >= n)
            return;
        const char c = m_in.at(m_pos);
        if (!isLetter(c)) {
            ++m_pos;
            controlSymbol(c);
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < n && isLetter(m_in.at(m_pos)))
            ++m_pos;
        const QByteArray word = m_in.mid(start, m_pos - start);
        bool hasParam = false;
        bool negative = false;
        qint64 param = 0;
        if (m_pos < n && m_in.at(m_pos) == '-' && m_pos + 1 < n && isDigit(m_in.at(m_pos + 1))) {
            negative = true;
            ++m_pos;
        }
        while (m_pos < n && isDigit(m_in.at(m_pos))) {
            hasParam = true;
            if (param < 100000000)  // enough for any real parameter; no overflow
                param = param * 10 + (m_in.at(m_pos) - '0');
            ++m_pos;
        }
        if (negative)
            param = -param;
        if (m_pos < n && m_in.at(m_pos) == ' ')
            ++m_pos;  // the delimiter belongs to the control word
        handleWord(word, hasParam, int(param));
    }

    void controlSymbol(char c)
    {
        if (c == '\'') {
            int value = 0;
            int digits = 0;
            while (digits < 2 && m_pos < m_in.size() && hexValue(m_in.at(m_pos)) >= 0) {
                value = value * 16 + hexValue(m_in.at(m_pos));
                ++digits;
                ++m_pos;
            }
            if (digits < 2 || consumeFallback() || !takesText())  // a cut-off \'h means nothing
                return;
            appendByte(char(value));
            return;
        }
        if (c == '*') {
            // "skip this group if you do not know the destination": we know none.
            m_state.skip = true;
            return;
        }
        if (consumeFallback() || !takesText())
            return;
        switch (c) {
        case '\\': case '{': case '}': appendByte(c); break;
        case '~': appendText(QString(QChar(0x00A0))); break;
        case '_': appendText(QStringLiteral("-")); break;
        case '\r': case '\n': appendText(QStringLiteral("\n")); break;  // same as \par
        default: break;  // \- optional hyphen, \: index subentry, \| formula...
        }
    }

    void handleWord(const QByteArray &word, bool hasParam, int param)
    {
        if (word == "bin") {  // binary data of the given length follows
            const qsizetype length = hasParam && param > 0 ? param : 0;
            m_pos = qMin(m_in.size(), m_pos + length);
            return;
        }
        if (consumeFallback() || m_state.skip)
            return;
        if (m_state.colourTable) {
            if (word == "red" || word == "green" || word == "blue") {
                const int shift = word == "red" ? 16 : word == "green" ? 8 : 0;
                m_colourBeingDefined = m_colourBeingDefined.value_or(0) | (unsigned(qBound(0, param, 255)) << shift);
            }
            return;
        }
        if (m_state.fontTable) {
            if (word == "f") {
                m_fontBeingDefined = param;
            } else if (word == "fcharset" && m_fontBeingDefined >= 0) {
                if (const int cp = charsetCodePage(param))
                    m_fontCodePage.insert(m_fontBeingDefined, cp);
            } else if (word == "cpg" && m_fontBeingDefined >= 0 && param > 0) {
                m_fontCodePage.insert(m_fontBeingDefined, param);
            }
            return;
        }
        if (word == "colortbl") {
            m_state.colourTable = true;
            m_colours.clear();
            m_colourBeingDefined.reset();
            return;
        }
        if (skippedDestinations().contains(word)) {
            m_state.skip = true;
            return;
        }
        if (word == "fonttbl") {
            m_state.fontTable = true;
            m_fontBeingDefined = -1;
        } else if (word == "ansicpg" && param > 0) {
            m_codePage = param;
        } else if (word == "pc") {
            m_codePage = 437;
        } else if (word == "pca") {
            m_codePage = 850;
        } else if (word == "mac") {
            m_codePage = 10000;
        } else if (word == "deff") {
            m_defaultFont = param;
        } else if (word == "f") {
            m_state.font = param;
        } else if (word == "plain") {
            m_state.font = -1;
            m_state.bold = false;
            m_state.colour = 0;
        } else if (word == "b") {
            m_state.bold = !hasParam || param != 0;
        } else if (word == "cf") {
            m_state.colour = param;
        } else if (word == "uc") {
            m_state.uc = qMax(0, param);
        } else if (word == "u" && hasParam) {
            const int unit = param < 0 ? param + 65536 : param;
            appendText(QString(QChar(char16_t(unit & 0xFFFF))));
            m_skipFallback = m_state.uc;
        } else if (word == "par" || word == "line" || word == "sect" || word == "page" || word == "row") {
            appendText(QStringLiteral("\n"));
        } else if (word == "tab" || word == "cell" || word == "nestcell") {
            appendText(QStringLiteral("\t"));
        } else if (word == "emdash") {
            appendText(QString(QChar(0x2014)));
        } else if (word == "endash") {
            appendText(QString(QChar(0x2013)));
        } else if (word == "emspace" || word == "enspace" || word == "qmspace") {
            appendText(QStringLiteral(" "));
        } else if (word == "bullet") {
            appendText(QString(QChar(0x2022)));
        } else if (word == "lquote") {
            appendText(QString(QChar(0x2018)));
        } else if (word == "rquote") {
            appendText(QString(QChar(0x2019)));
        } else if (word == "ldblquote") {
            appendText(QString(QChar(0x201C)));
        } else if (word == "rdblquote") {
            appendText(QString(QChar(0x201D)));
        }
        // any other control word: formatting, ignored
    }

    int currentCodePage() const
    {
        const int font = m_state.font >= 0 ? m_state.font : m_defaultFont;
        return m_fontCodePage.value(font, m_codePage);
    }

    // An entry of the colour table ends; one without components is "auto".
    void endColour()
    {
        m_colours.push_back(m_colourBeingDefined);
        m_colourBeingDefined.reset();
    }

    void appendByte(char byte)
    {
        const int cp = currentCodePage();
        const Look look = currentLook();
        if (!m_pending.isEmpty() && (cp != m_pendingCodePage || look != m_pendingLook))
            flush();
        m_pendingCodePage = cp;
        m_pendingLook = look;
        m_pending += byte;
    }

    void appendText(const QString &text)
    {
        flush();
        add(text, currentLook());
    }

    void flush()
    {
        if (m_pending.isEmpty())
            return;
        add(decodeCodePage(m_pending, m_pendingCodePage), m_pendingLook);
        m_pending.clear();
    }

    void add(const QString &text, const Look &look) { AppendRun(m_out, text, look.bold, look.colour); }

    const QByteArray &m_in;
    qsizetype m_pos = 0;
    State m_state;
    std::vector<State> m_stack;
    int m_skipFallback = 0;

    int m_codePage = 1252;
    int m_defaultFont = -1;
    int m_fontBeingDefined = -1;
    QHash<int, int> m_fontCodePage;
    std::vector<std::optional<unsigned>> m_colours;
    std::optional<unsigned> m_colourBeingDefined;

    QByteArray m_pending;  // text bytes not decoded yet
    int m_pendingCodePage = 1252;
    Look m_pendingLook;
    RtfRuns m_out;
};

RtfRuns dropFinalLineBreak(RtfRuns runs)
{
    if (!runs.empty() && runs.back().text.endsWith(u'\n')) {
        runs.back().text.chop(1);
        if (runs.back().text.isEmpty())
            runs.pop_back();
    }
    return runs;
}

}  // namespace

QString RtfToPlainText(const QByteArray &rtf)
{
    QString text;
    for (const RtfRun &run : RtfToRuns(rtf))
        text += run.text;
    return text;
}

RtfRuns RtfToRuns(const QByteArray &rtf)
{
    qsizetype start = HasUtf8Bom(rtf) ? 3 : 0;
    while (start < rtf.size() && (rtf.at(start) == ' ' || rtf.at(start) == '\t'
                                  || rtf.at(start) == '\r' || rtf.at(start) == '\n'))
        ++start;
    if (rtf.mid(start, 5) != "{\\rtf") {
        QString text = DecodeLegacyText(rtf, nullptr);
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(u'\r', u'\n');
        return dropFinalLineBreak(RtfRuns{RtfRun{text, false, std::nullopt}});
    }
    return dropFinalLineBreak(RtfParser(rtf.mid(start)).run());
}
