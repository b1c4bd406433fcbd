#pragma once

#include <QByteArray>
#include <QString>

// Text files left by the dispatchers' old Windows programs are Windows-1251;
// newer ones may be UTF-8. One rule decides, for settings files (IniFile) and
// plain-text documents (RtfToPlainText) alike:
//   - valid UTF-8 that starts with a byte order mark              -> UTF-8
//   - valid UTF-8 that contains at least one non-ASCII character  -> UTF-8
//   - anything else (including pure ASCII)                         -> Windows-1251
// Real Cyrillic text in Windows-1251 is practically never valid UTF-8, so the
// guess is safe for the files this service meets. A byte order mark is not part
// of the returned text. *wasUtf8 (when given) tells which way it went.
QString DecodeLegacyText(const QByteArray &bytes, bool *wasUtf8 = nullptr);

// True when the bytes start with the UTF-8 byte order mark EF BB BF.
bool HasUtf8Bom(const QByteArray &bytes);

// True when the bytes are well-formed UTF-8 (a leading byte order mark allowed).
bool IsValidUtf8(const QByteArray &bytes);
