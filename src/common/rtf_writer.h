#pragma once

#include "common/rtf_runs.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// An RTF document (Windows-1251 code page, Courier New) with one paragraph per
// line, as the service saves NEWS.rtf and reports for the dispatchers; WordPad,
// Word and LibreOffice open it with Cyrillic intact.
//
// Text is escaped for RTF: '\', '{', '}' get a backslash; characters that
// Windows-1251 has above 127 are written as \'hh; characters it lacks as \uN?
// (N a signed 16-bit number, characters beyond U+FFFF as their two UTF-16
// halves, '?' what old readers show instead). A tab becomes \tab, a line break
// inside a line \line; other control characters are dropped.
QByteArray RtfDocument(const QStringList &lines);

// Writes RtfDocument(lines) to path atomically (temporary file + rename).
// On failure returns false and, when error is given, says why.
bool SaveRtf(const QString &path, const QStringList &lines, QString *error = nullptr);

// The same document with bold and coloured runs (a colour table when any run has a
// colour); each "\n" of a run ends a paragraph, and the last paragraph is ended too.
QByteArray RtfFormattedDocument(const RtfRuns &runs);
bool SaveFormattedRtf(const QString &path, const RtfRuns &runs, QString *error = nullptr);
