#pragma once

#include <QString>

// The browsers the pages are made for: Netscape 7, Internet Explorer, the Gecko
// family (Firefox), Opera, Safari and Chrome (with Edge and the other Chromium
// browsers, which name themselves Chrome). Anything else gets a short refusal page.
bool SupportedBrowser(const QString &userAgent);
