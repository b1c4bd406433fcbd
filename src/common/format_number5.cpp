#include "common/format_number5.h"

QString FormatNumber5(qint64 n)
{
    const QString digits = QString::number(n);
    if (digits.size() >= 5)
        return digits;
    return QString(5 - digits.size(), u'0') + digits;
}

QString BracketedNumber5(qint64 n) { return u'[' + FormatNumber5(n) + u']'; }
