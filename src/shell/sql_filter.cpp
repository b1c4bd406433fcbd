#include "shell/sql_filter.h"

#include "common/win1251.h"
#include "data/lookup_text.h"

void SqlFilter::add(const QString &condition, const fb::Params &values)
{
    where += (where.isEmpty() ? QStringLiteral("WHERE ") : QStringLiteral(" AND ")) + condition;
    params.insert(params.end(), values.begin(), values.end());
}

void SqlFilter::addContains(const ColumnWidths &widths, const QString &column, const QString &text)
{
    // Sent as it is, such text would arrive with '?' in place of what the code page lacks
    // and find the values that hold question marks.
    if (!win1251::representable(text)) {
        add(QStringLiteral("(1 = 0)"));
        return;
    }
    add(QStringLiteral("(%1 LIKE '%' || ? || '%'%2)").arg(column, QString::fromLatin1(kLikeEscape)),
        {LikePiece(widths, column, text)});
}
