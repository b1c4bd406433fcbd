#pragma once

#include "common/rtf_runs.h"

#include <QByteArray>
#include <QString>

// The plain text of an RTF document, such as NEWS.rtf saved by WordPad, Word or
// LibreOffice, or written by RtfDocument():
//   - groups that are not text are skipped: {\*...}, font, colour and style
//     tables, info, pictures, headers, footers, footnotes, field instructions...
//   - \par, \line (and \sect, \page, \row) end a line; \tab (and \cell) give a tab;
//   - \'hh is decoded by the document's code page (\ansicpg, 1252 when absent),
//     or by the code page of the current font's \fcharset when that names a
//     specific one (WordPad on a Western Windows writes Cyrillic as \ansicpg1252
//     with a \fcharset204 font);
//   - \uN is the UTF-16 unit N (negative N count from 65536), followed by the
//     \ucN (default 1) characters meant for old readers, which are skipped;
//   - \\ \{ \} are the characters themselves, \~ a no-break space, \_ a hyphen,
//     typographic quotes and dashes (\lquote, \emdash...) their characters;
//   - other control words are ignored; text after the document's closing brace too.
// Lines are joined with "\n", and the line break ending the last paragraph is
// dropped (one only: a document that ends with an empty paragraph keeps it).
//
// Input that is not RTF (does not start with "{\rtf", after an optional UTF-8
// byte order mark and blanks) is read as plain text, Windows-1251 or UTF-8 by
// DecodeLegacyText(); its CR LF / CR line ends become "\n" and one final line
// break is dropped the same way.
QString RtfToPlainText(const QByteArray &rtf);

// The same text in runs of one look: bold (\b, \b0, \plain) and the colour of \cfN
// from the document's \colortbl (its "auto" entries give none). The runs' texts joined
// are RtfToPlainText(rtf); input that is not RTF is one plain run.
RtfRuns RtfToRuns(const QByteArray &rtf);
