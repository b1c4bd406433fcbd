#include "shell/client_filter.h"

QString ClientColumnName(ClientColumn column)
{
    static const std::array<const char *, kClientColumnCount> names{
        "TABLE_KLIENT_KOD", "TABLE_KLIENT_PASS", "TABLE_KLIENT_TELEF",
        "TABLE_KLIENT_BAN", "TABLE_KLIENT_POVID", "TABLE_KLIENT_DODAT"};
    return QString::fromLatin1(names[size_t(column)]);
}

SqlFilter BuildClientFilter(const ClientFilters &filters, const ColumnWidths &widths)
{
    SqlFilter filter;
    for (int i = 0; i < kClientColumnCount; ++i) {
        const ClientFilterValue &value = filters[size_t(i)];
        const ClientColumn column = ClientColumn(i);
        if (!value.ticked)
            continue;
        if (column != ClientColumn::Ban)
            filter.addContains(widths, ClientColumnName(column), value.text);
        else if (!value.text.isEmpty())
            filter.add(QStringLiteral("(TABLE_KLIENT_BAN = ?)"), {value.text});
    }
    return filter;
}

QString ClientsSql(const SqlFilter &filter)
{
    return QStringLiteral("SELECT * FROM TABLE_KLIENT\n%1\nORDER BY TABLE_KLIENT_KOD").arg(filter.where);
}
