#pragma once

#include "shell/sql_filter.h"

#include <QString>

#include <array>

// The six filters of the clients table window's search panel, in the order the filter
// is built: code, password, telephone, ban, personal message, additional data.
enum class ClientColumn { Code, Password, Telephone, Ban, Message, Extra };
inline constexpr int kClientColumnCount = 6;

QString ClientColumnName(ClientColumn column);  // TABLE_KLIENT_KOD, ...

struct ClientFilterValue {
    bool ticked = false;
    QString text;
};
using ClientFilters = std::array<ClientFilterValue, kClientColumnCount>;

// The ticked filters: texts match anywhere in their column, the ban exactly (skipped
// while its value is empty). None ticked: the whole table.
SqlFilter BuildClientFilter(const ClientFilters &filters, const ColumnWidths &widths);

// The clients dataset's statement with `filter`, ordered by code.
QString ClientsSql(const SqlFilter &filter);
