#pragma once

#include "data/column_widths.h"
#include "data/fb.h"

#include <QString>

// The WHERE clause of an operator window's search, with its values as bound parameters:
// typed text is never part of the SQL text.
struct SqlFilter {
    QString where;  // empty, or "WHERE (...) AND (...)"
    fb::Params params;

    bool isEmpty() const { return where.isEmpty(); }
    // Adds one condition; its "?" take `values`, in order.
    void add(const QString &condition, const fb::Params &values = {});
    // The typed text anywhere in the column, matched literally (% and _ are no
    // wildcards). Text Windows-1251 cannot hold is in no value of the column.
    void addContains(const ColumnWidths &widths, const QString &column, const QString &text);
};
