#include "common/ini_file.h"

#include "common/text_encoding.h"
#include "common/win1251.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <utility>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

// Windows trims blanks around names and values; QString::trimmed() would also
// eat the no-break space (0xA0 in Windows-1251), which Windows keeps.
QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A whole decimal number: optional sign, then ASCII digits only.
bool isWholeNumber(const QString &text)
{
    qsizetype i = 0;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-'))
        ++i;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i) {
        if (text.at(i) < u'0' || text.at(i) > u'9')
            return false;
    }
    return true;
}

}  // namespace

IniFile::IniFile(QString path) : m_path(std::move(path))
{
    sync();
}

bool IniFile::exists() const
{
    return QFileInfo::exists(m_path);
}

bool IniFile::readable() const
{
    return exists() && sync();
}

// --- reading the file -------------------------------------------------------

void IniFile::reset() const
{
    m_onDisk = false;
    m_bytes.clear();
    m_lines.clear();
    // A file this class creates is UTF-8 without a byte order mark (nothing of
    // ours needs the BOM and Windows' own profile functions would show it as
    // junk in the first line), with CR LF line ends so Notepad and the other
    // Windows tools that still open these files show it properly.
    m_encoding = Encoding::Utf8;
    m_newline = "\r\n";
}

bool IniFile::sync() const
{
    QFile file(m_path);
    if (!file.exists()) {
        if (m_onDisk || !m_lines.empty())
            reset();
        return true;
    }
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    // Same bytes as last read or written: the cache (which also remembers that
    // a file we created is UTF-8 even while it is still pure ASCII) stays.
    if (m_onDisk && bytes == m_bytes)
        return true;
    load(bytes);
    return true;
}

void IniFile::load(const QByteArray &bytes) const
{
    m_onDisk = true;
    m_bytes = bytes;
    m_lines.clear();

    bool utf8 = false;
    DecodeLegacyText(bytes, &utf8);
    const bool bom = utf8 && HasUtf8Bom(bytes);
    m_encoding = !utf8 ? Encoding::Windows1251 : (bom ? Encoding::Utf8Bom : Encoding::Utf8);
    const QByteArray body = bom ? bytes.mid(3) : bytes;

    qsizetype crlf = 0;
    qsizetype lf = 0;
    qsizetype pos = 0;
    while (pos < body.size()) {
        const qsizetype nl = body.indexOf('\n', pos);
        Line line;
        if (nl < 0) {
            line.raw = body.mid(pos);
            pos = body.size();
        } else {
            line.raw = body.mid(pos, nl - pos);
            pos = nl + 1;
            if (line.raw.endsWith('\r')) {
                line.raw.chop(1);
                line.eol = "\r\n";
                ++crlf;
            } else {
                line.eol = "\n";
                ++lf;
            }
        }
        line.text = utf8 ? QString::fromUtf8(line.raw) : win1251::toUnicode(line.raw);
        m_lines.push_back(std::move(line));
    }
    // Lines we add get the line end the file mostly has; CR LF when it has none.
    m_newline = lf > crlf ? QByteArray("\n") : QByteArray("\r\n");
}

IniFile::Parsed IniFile::parse(const QString &line)
{
    Parsed parsed;
    const QString text = trimBlanks(line);
    if (text.startsWith(u'[')) {
        const qsizetype close = text.lastIndexOf(u']');
        if (close > 0) {
            parsed.kind = Parsed::Section;
            parsed.name = trimBlanks(text.mid(1, close - 1));
            return parsed;
        }
    }
    if (text.startsWith(u';')) {
        parsed.kind = Parsed::Comment;
        return parsed;
    }
    const qsizetype eq = text.indexOf(u'=');
    if (eq >= 0) {
        parsed.kind = Parsed::Value;
        parsed.name = trimBlanks(text.left(eq));
        parsed.value = trimBlanks(text.mid(eq + 1));
    }
    return parsed;
}

int IniFile::findSection(const QString &section) const
{
    const QString name = trimBlanks(section);
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const Parsed p = parse(m_lines[i].text);
        if (p.kind == Parsed::Section && sameName(p.name, name))
            return int(i);
    }
    return -1;
}

int IniFile::sectionEnd(int header) const
{
    for (size_t i = size_t(header) + 1; i < m_lines.size(); ++i) {
        if (parse(m_lines[i].text).kind == Parsed::Section)
            return int(i);
    }
    return int(m_lines.size());
}

int IniFile::findKey(int header, const QString &key) const
{
    const QString name = trimBlanks(key);
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const Parsed p = parse(m_lines[size_t(i)].text);
        if (p.kind == Parsed::Value && sameName(p.name, name))
            return i;
    }
    return -1;
}

const IniFile::Line *IniFile::findValueLine(const QString &section, const QString &key, Parsed *parsed) const
{
    if (!sync())
        return nullptr;
    const int header = findSection(section);
    if (header < 0)
        return nullptr;
    const int at = findKey(header, key);
    if (at < 0)
        return nullptr;
    const Line *line = &m_lines[size_t(at)];
    if (parsed)
        *parsed = parse(line->text);
    return line;
}

// --- reading values ---------------------------------------------------------

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    Parsed parsed;
    if (!findValueLine(section, key, &parsed))
        return defaultValue;
    return parsed.value;
}

int IniFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    const QString text = readString(section, key);
    if (!isWholeNumber(text))
        return defaultValue;
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool IniFile::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    const QString text = readString(section, key);
    if (!isWholeNumber(text))
        return defaultValue;
    // Any whole number other than 0 is true, however long: look for a non-zero digit.
    for (QChar c : text) {
        if (c >= u'1' && c <= u'9')
            return true;
    }
    return false;
}

bool IniFile::sectionExists(const QString &section) const
{
    return sync() && findSection(section) >= 0;
}

bool IniFile::valueExists(const QString &section, const QString &key) const
{
    return findValueLine(section, key, nullptr) != nullptr;
}

QStringList IniFile::readSection(const QString &section) const
{
    QStringList keys;
    if (!sync())
        return keys;
    const int header = findSection(section);
    if (header < 0)
        return keys;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const Parsed p = parse(m_lines[size_t(i)].text);
        if (p.kind == Parsed::Value && !p.name.isEmpty() && !keys.contains(p.name, Qt::CaseInsensitive))
            keys.append(p.name);
    }
    return keys;
}

QStringList IniFile::readSections() const
{
    QStringList sections;
    if (!sync())
        return sections;
    for (const Line &line : m_lines) {
        const Parsed p = parse(line.text);
        if (p.kind == Parsed::Section && !sections.contains(p.name, Qt::CaseInsensitive))
            sections.append(p.name);
    }
    return sections;
}

// --- writing ----------------------------------------------------------------

bool IniFile::checkNames(const QString &section, const QString &key)
{
    const QString s = trimBlanks(section);
    const QString k = trimBlanks(key);
    if (s.isEmpty() || k.isEmpty()) {
        m_lastError = QStringLiteral("empty section or key name");
        return false;
    }
    if (s.contains(u'\n') || s.contains(u'\r') || k.contains(u'\n') || k.contains(u'\r')) {
        m_lastError = QStringLiteral("line break in a section or key name");
        return false;
    }
    if (k.contains(u'=') || k.startsWith(u';') || k.startsWith(u'[')) {
        m_lastError = QStringLiteral("key name cannot be stored in an INI file: %1").arg(k);
        return false;
    }
    return true;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    m_lastError.clear();
    if (!checkNames(section, key))
        return;
    if (!sync()) {
        // Never replace a file we could not read: its content would be lost.
        m_lastError = QStringLiteral("cannot read %1").arg(m_path);
        return;
    }

    QString v = value;
    v.replace(QLatin1String("\r\n"), QLatin1String(" "));
    v.replace(u'\r', u' ');
    v.replace(u'\n', u' ');

    std::vector<Line> lines = m_lines;
    auto endLine = [&](size_t index) {  // a line that gets a successor needs a line end
        if (index < lines.size() && lines[index].eol.isEmpty())
            lines[index].eol = m_newline;
    };

    const int header = findSection(section);
    if (header >= 0) {
        const int at = findKey(header, key);
        if (at >= 0) {
            // Keep the key as spelled and the blanks around '='; replace the value.
            Line &line = lines[size_t(at)];
            qsizetype valueStart = line.text.indexOf(u'=') + 1;
            while (valueStart < line.text.size()
                   && (line.text.at(valueStart) == u' ' || line.text.at(valueStart) == u'\t'))
                ++valueStart;
            const QString text = line.text.left(valueStart) + v;
            if (text == line.text)
                return;  // the file already says so
            line.text = text;
            line.dirty = true;
        } else {
            // After the section's last key (or its last non-blank line when it
            // has no keys), so blank lines and comments before the next section
            // stay where they are.
            const int end = sectionEnd(header);
            int after = header;
            for (int i = header + 1; i < end; ++i) {
                if (parse(lines[size_t(i)].text).kind == Parsed::Value)
                    after = i;
            }
            if (after == header) {
                for (int i = header + 1; i < end; ++i) {
                    if (!trimBlanks(lines[size_t(i)].text).isEmpty())
                        after = i;
                }
            }
            endLine(size_t(after));
            Line line;
            line.text = trimBlanks(key) + u'=' + v;
            line.eol = m_newline;
            line.dirty = true;
            lines.insert(lines.begin() + after + 1, std::move(line));
        }
    } else {
        if (!lines.empty())
            endLine(lines.size() - 1);
        Line head;
        head.text = u'[' + trimBlanks(section) + u']';
        head.eol = m_newline;
        head.dirty = true;
        Line line;
        line.text = trimBlanks(key) + u'=' + v;
        line.eol = m_newline;
        line.dirty = true;
        lines.push_back(std::move(head));
        lines.push_back(std::move(line));
    }
    save(std::move(lines));
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::deleteKey(const QString &section, const QString &key)
{
    m_lastError.clear();
    if (!sync()) {
        m_lastError = QStringLiteral("cannot read %1").arg(m_path);
        return;
    }
    const int header = findSection(section);
    const int at = header < 0 ? -1 : findKey(header, key);
    if (at < 0)
        return;
    std::vector<Line> lines = m_lines;
    lines.erase(lines.begin() + at);
    save(std::move(lines));
}

bool IniFile::save(std::vector<Line> lines)
{
    Encoding encoding = m_encoding;
    if (encoding == Encoding::Windows1251) {
        // A character Windows-1251 has no byte for (emoji, Chinese, Polish ł...)
        // would be written as '?' and lost for good. Rather than lose it, the
        // whole file becomes UTF-8 (no BOM; it contains non-ASCII, so the
        // detection reads it back as UTF-8). The old Windows program would show
        // such a file's Cyrillic as junk, but it cannot hold that character
        // anyway, and our programs read both encodings.
        for (const Line &line : lines) {
            if (line.dirty && !win1251::representable(line.text)) {
                encoding = Encoding::Utf8;
                break;
            }
        }
    }
    const bool sameBytes = (encoding == Encoding::Windows1251) == (m_encoding == Encoding::Windows1251);

    QByteArray out;
    if (encoding == Encoding::Utf8Bom)
        out += "\xEF\xBB\xBF";
    for (Line &line : lines) {
        if (line.dirty || !sameBytes) {
            line.raw = encoding == Encoding::Windows1251 ? win1251::fromUnicode(line.text) : line.text.toUtf8();
            line.dirty = false;
        }
        out += line.raw;
        out += line.eol;
    }

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        m_lastError = QStringLiteral("cannot write %1: %2").arg(m_path, file.errorString());
        return false;
    }
    // A write that fails only when the buffer is flushed (a full disk) escapes the
    // commit's check: flushed and checked here, so the old file stays.
    if (file.write(out) != out.size() || !file.flush()) {
        m_lastError = QStringLiteral("cannot write %1: %2").arg(m_path, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        m_lastError = QStringLiteral("cannot write %1: %2").arg(m_path, file.errorString());
        return false;
    }
    m_onDisk = true;
    m_bytes = out;
    m_lines = std::move(lines);
    m_encoding = encoding;
    return true;
}
