#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// Reader/writer of Windows-style INI files ([Section] lines and key=value lines),
// shaped like Delphi's TIniFile so code ported from the old dispatcher program
// reads the same. It reads the files that program wrote with
// GetPrivateProfileString/WritePrivateProfileString:
//   - Windows-1251 text, or UTF-8 (rule of DecodeLegacyText in text_encoding.h);
//     CR LF or LF line ends;
//   - section and key names compared case-insensitively (Cyrillic too), blanks
//     around names and values ignored;
//   - a value is everything after the first '=' with the surrounding blanks
//     trimmed, taken as it stands: commas, quotes, '=' and ';' inside it are part
//     of it (Луцьк, вул. "Соборна", 5 reads back exactly so);
//   - lines whose first non-blank character is ';' are comments; lines before
//     the first section belong to no section and are never found.
//   - when a section or key occurs twice, the first one counts (as in Windows).
//
// Like TIniFile (and unlike TMemIniFile) every call goes to the file: a read
// sees what another program or another IniFile wrote meanwhile, and each write
// is in the file when the call returns, so a save that stops halfway keeps what
// it wrote before. A write replaces the file atomically (temporary file in the
// same folder + rename, QSaveFile): a crash leaves the old file or the new one,
// never half of one.
//
// A write keeps every other line of the file byte for byte (comments, blank
// lines, order, spelling of names), changes a key's line in place, or adds the
// key at the end of its section (after its last key), or adds the section at
// the end of the file.
//
// One IniFile object is for one thread at a time (reads refresh its cache);
// give each thread its own object for the same path if needed.
class IniFile {
public:
    explicit IniFile(QString path);  // loads the file if it exists

    QString path() const { return m_path; }
    bool exists() const;  // the file is there now
    bool readable() const;  // the file is there now and its bytes could be read

    QString readString(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    // Windows/Delphi: a value that is not a whole decimal number in int range
    // (empty, "12abc", "1.5", "word") gives the default.
    int readInteger(const QString &section, const QString &key, int defaultValue = 0) const;
    // Stored as 1/0. On reading, any whole number other than 0 is true, 0 is
    // false, anything that is not a whole number gives the default (Delphi's
    // ReadBool = ReadInteger(...) <> 0).
    bool readBool(const QString &section, const QString &key, bool defaultValue = false) const;

    bool sectionExists(const QString &section) const;
    bool valueExists(const QString &section, const QString &key) const;
    QStringList readSection(const QString &section) const;  // key names, in file order
    QStringList readSections() const;                       // section names, in file order

    // The value is written as it is; line breaks in it become spaces (an INI
    // line cannot hold them), and blanks around it are lost on reading (as in
    // Windows). An empty key, a key with '=' or starting with '[' or ';', and
    // names with line breaks cannot be stored: the write does nothing and
    // lastError() tells why.
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value);  // "1" / "0"

    void deleteKey(const QString &section, const QString &key);

    // Empty after a write that reached the file; the reason otherwise.
    QString lastError() const { return m_lastError; }

private:
    enum class Encoding { Windows1251, Utf8, Utf8Bom };

    struct Line {
        QString text;    // decoded, without the line end
        QByteArray raw;  // bytes as in the file (in m_encoding), without the line end
        QByteArray eol;  // "\r\n", "\n" or "" (last line without a line end)
        bool dirty = false;  // text changed since read: raw is stale
    };

    struct Parsed {  // what one line says
        enum Kind { Other, Section, Comment, Value } kind = Other;
        QString name;   // section or key name, trimmed
        QString value;  // trimmed value
    };

    static Parsed parse(const QString &line);

    bool sync() const;  // brings the cached lines up to the file; false: cannot read it
    void load(const QByteArray &bytes) const;
    void reset() const;  // state of a file that does not exist yet

    int findSection(const QString &section) const;              // header line index or -1
    int sectionEnd(int header) const;                           // index of the next header or size
    int findKey(int header, const QString &key) const;          // line index or -1
    const Line *findValueLine(const QString &section, const QString &key, Parsed *parsed) const;

    bool checkNames(const QString &section, const QString &key);
    bool save(std::vector<Line> lines);

    QString m_path;
    QString m_lastError;

    // Cache of the file as last read or written; refreshed whenever the bytes on
    // disk differ from m_bytes.
    mutable bool m_onDisk = false;
    mutable QByteArray m_bytes;
    mutable std::vector<Line> m_lines;
    mutable Encoding m_encoding = Encoding::Utf8;
    mutable QByteArray m_newline = "\r\n";  // for lines this class adds
};
