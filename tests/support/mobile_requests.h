#pragma once

// Requests of the mobile application as tests send them: texts in Windows-1251 and Base64,
// and a quick order to the demo city's Крем'янецька 7.

#include "common/win1251.h"

#include <QByteArray>
#include <QString>

namespace kvtest {

inline QByteArray cp1251(const QString &text) { return win1251::fromUnicode(text).toBase64(); }

// A quick order from `telephone`, whole as the mobile application sends it.
inline QByteArray quickOrder(const QString &telephone)
{
    return "<NumPhone>" + cp1251(telephone) + "</NumPhone><CodClient></CodClient><DataTimeCreate>NEW</DataTimeCreate>"
        + "<Punct1>" + cp1251(QStringLiteral("[Крем'янецька]{7}")) + "</Punct1><Dod1>"
        + cp1251(QStringLiteral("тел.:[%1]   тариф:[Стандарт]").arg(telephone)) + "</Dod1><Dod2></Dod2></CreateZam>###";
}

}  // namespace kvtest
