#pragma once

#include <QString>
#include <QUrl>

// Opens an address or a file in the application the desktop associates with it.
// KORVANTIS_NO_BROWSER=1 turns this off, so tests and CI runs open nothing.
void OpenExternalUrl(const QUrl &url);

// An exported file in the desktop's program for it; false when it was not opened:
// turned off as above, no desktop (offscreen), or no program took it.
bool OpenExportedFile(const QString &path);
