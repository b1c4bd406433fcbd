#pragma once

#include <QString>

// A client-sent value as it may stand in a log line: control characters (below 32)
// are shown escaped ("\r", "\n", "\t", "\x1b"), so a line break typed into a field
// cannot start a forged line of its own. The databases keep the values as sent.
QString LogValue(const QString &value);
