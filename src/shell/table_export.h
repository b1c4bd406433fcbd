#pragma once

#include "data/danni.h"

#include <QString>

#include <functional>

class ServiceContext;

// The table a grid shows (TABLE_ACTIV, ...); it names the export file and its sheet.
QString GridTable(TDANI::Grid grid);

// Opens an exported file for the operator; false when it was not opened (no desktop).
using ExportedFileOpener = std::function<bool(const QString &path)>;

// The table export: the rows of a grid's dataset as it stands now (its search and its
// order) go into a new spreadsheet in EXPORT/ of the program's folder, named after the
// table and the time and never written over an earlier file; `open` shows it, and the
// operator is told where it is either way. Returns the file's path, empty when no file
// was written.
QString ExportGrid(ServiceContext &context, TDANI::Grid grid, const ExportedFileOpener &open);
