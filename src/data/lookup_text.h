#pragma once

#include "data/column_widths.h"
#include "data/like_pattern.h"

#include <QString>

// Client-typed text in a look-up. A text longer than the column it is compared with
// matches no row, and must never make the database refuse the statement instead (index
// keys and text parameters have size limits): such look-ups answer "not found".

// Equality: a text equals a value of the column only when it fits the column once its
// trailing blanks (which comparisons ignore) are gone. Look-ups skip the statement
// when it does not.
inline bool FitsColumn(const ColumnWidths &columns, const QString &column, const QString &text)
{
    const int width = columns.width(column);
    qsizetype length = text.size();
    while (length > 0 && text.at(length - 1) == u' ')
        --length;
    return width == 0 || length <= width;
}

// LIKE '%' || ? || '%' ... ESCAPE: the typed text as a literal piece of the pattern.
// Longer than the column, it is cut to one character more, which no value of the column
// can contain either, so the statement stays within the parameter limits.
inline QString LikePiece(const ColumnWidths &columns, const QString &column, const QString &text)
{
    const int width = columns.width(column);
    return LikeLiteral(width > 0 && text.size() > width ? text.left(width + 1) : text);
}
