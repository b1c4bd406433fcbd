#pragma once

#include <QString>

inline constexpr const char *kServiceDatabaseFile = "KORVANTIS_KLIENT.FDB";

// SERVER + PATH_BAZA + separator + NAME_BAZA. A Windows server needs a backslash
// (the path has one, or starts with a drive letter); a Linux path takes a slash.
QString DispatchDatabaseName(const QString &server, const QString &path, const QString &name);

// The service database in the program's folder, opened by the embedded engine.
QString ServiceDatabaseName(const QString &folder);
