#pragma once

#include <QString>

// How the dispatchers' order rows are read back for clients.

// The tariff of an order: the bracketed text after "тариф:[" in its additional data
// (ZAMOVL_PRICHINA_DELETE); without that marker, the first bracketed text.
QString OrderTariff(const QString &extraData);

// A callsign column as clients are shown it: the number it holds, "0" when none.
QString CallsignNumber(const QString &column);
