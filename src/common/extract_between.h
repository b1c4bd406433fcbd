#pragma once

#include <QByteArray>
#include <QString>

// The text between the first occurrence of `open` and the first occurrence of
// `close`, both searched from the start of `text` (the old dispatcher code cut
// its protocol fields this way):
//   start  = position of open + length of open
//   length = position of close - position of open - length of open
// Empty when `open` or `close` does not occur, when the first `close` stands
// before the end of the first `open`, and when either marker is empty (an empty
// marker counts as not occurring, as Delphi's Pos('', s) = 0). Never reads out
// of range, whatever the input.
//
//   ExtractBetween("<a>1</a>", "<a>", "</a>") == "1"
//   ExtractBetween("x]y[z]", "[", "]")        == ""   (first ']' is before '[')
QString ExtractBetween(const QString &text, const QString &open, const QString &close);

// Same semantics on bytes, for the mobile protocol.
QByteArray ExtractBetween(const QByteArray &text, const QByteArray &open, const QByteArray &close);
