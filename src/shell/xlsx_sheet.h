#pragma once

#include "data/fb.h"

#include <QString>
#include <QStringList>

#include <vector>

struct SheetOutcome {
    bool written = false;  // the file is there
    int rowsWritten = 0;   // records, the header row not counted
    QString failure;       // why filling stopped, or why no file was written; empty when all went in
};

// Writes a new .xlsx workbook at `path` (replacing what is there) with one sheet named
// `sheet`: a header row of `columns`, then one row per record with typed cells (numbers,
// dates, times and texts as such; NULL stays blank), records in the font "Arial cur" 10,
// each column as wide as its contents. An error while filling stops the filling; the
// rows written so far are kept and the file is still written.
SheetOutcome WriteSheet(const QString &path, const QString &sheet, const QStringList &columns,
                        const std::vector<std::vector<fb::Value>> &rows);
