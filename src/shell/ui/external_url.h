#pragma once

#include <QUrl>

// Opens an address or a file in the application the desktop associates with it.
// KORVANTIS_NO_BROWSER=1 turns this off, so tests and CI runs open nothing.
void OpenExternalUrl(const QUrl &url);
