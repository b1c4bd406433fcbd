#pragma once

#include "data/fb.h"

#include <QHash>
#include <QString>

// The widths of the text columns of one table as its database declares them, in
// characters (Windows-1251 has one byte a character). Texts the service writes for
// clients are cut to these first: the dispatchers' columns are theirs to size, and a
// text one character too long would make the whole insert fail.
class ColumnWidths {
public:
    // Reads the table's text columns in the connection's read-only transaction.
    static ColumnWidths Read(fb::Transaction &transaction, const QString &table);

    // 0 when the column is unknown or not a text column.
    int width(const QString &column) const { return widths_.value(column, 0); }
    // `text` cut to the column's width; unchanged for an unknown column.
    QString fit(const QString &column, const QString &text) const;

private:
    QHash<QString, int> widths_;
};
