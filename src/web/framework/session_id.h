#pragma once

#include <QString>

// A new session identifier: 128 bits from the system's random source, as 32
// lower-case hex digits. Nobody can guess another browser's session address.
QString NewSessionId();

// True when `text` has the form NewSessionId() gives; anything else in a session
// address is refused before any lookup.
bool LooksLikeSessionId(const QString &text);
