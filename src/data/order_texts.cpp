#include "data/order_texts.h"

#include "common/extract_between.h"

QString OrderTariff(const QString &extraData)
{
    const qsizetype marker = extraData.indexOf(QStringLiteral("тариф:["));
    return ExtractBetween(marker >= 0 ? extraData.mid(marker) : extraData, QStringLiteral("["), QStringLiteral("]"));
}

QString CallsignNumber(const QString &column)
{
    bool isNumber = false;
    const int callsign = column.trimmed().toInt(&isNumber);
    return QString::number(isNumber ? callsign : 0);
}
