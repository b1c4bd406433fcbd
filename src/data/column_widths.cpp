#include "data/column_widths.h"

namespace {

// RDB$FIELD_TYPE of CHAR and VARCHAR.
constexpr qint64 kChar = 14;
constexpr qint64 kVarchar = 37;

}  // namespace

ColumnWidths ColumnWidths::Read(fb::Transaction &transaction, const QString &table)
{
    fb::Query query(transaction);
    // RDB$CHARACTER_LENGTH is empty for columns of character set NONE: their width
    // is their length in bytes.
    query.openReadOnly(QStringLiteral("SELECT TRIM(RF.RDB$FIELD_NAME), F.RDB$FIELD_TYPE, "
                                      "COALESCE(F.RDB$CHARACTER_LENGTH, F.RDB$FIELD_LENGTH) "
                                      "FROM RDB$RELATION_FIELDS RF "
                                      "JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
                                      "WHERE RF.RDB$RELATION_NAME = ?"),
                       {table});
    ColumnWidths widths;
    for (query.first(); !query.eof(); query.next()) {
        const qint64 type = query.field(1).asInt();
        if (type == kChar || type == kVarchar)
            widths.widths_.insert(query.field(0).asText(), int(query.field(2).asInt()));
    }
    query.close();
    return widths;
}

QString ColumnWidths::fit(const QString &column, const QString &text) const
{
    const int limit = width(column);
    return limit > 0 && text.size() > limit ? text.left(limit) : text;
}
