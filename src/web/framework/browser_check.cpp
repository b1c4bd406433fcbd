#include "web/framework/browser_check.h"

#include <QStringList>

bool SupportedBrowser(const QString &userAgent)
{
    static const QStringList marks{QStringLiteral("Gecko"),  QStringLiteral("MSIE"),
                                   QStringLiteral("Trident/"), QStringLiteral("Opera"),
                                   QStringLiteral("OPR/"),   QStringLiteral("Safari/"),
                                   QStringLiteral("Chrome/"), QStringLiteral("Netscape")};
    if (!userAgent.startsWith(QLatin1String("Mozilla/")) && !userAgent.startsWith(QLatin1String("Opera")))
        return false;
    for (const QString &mark : marks)
        if (userAgent.contains(mark))
            return true;
    return false;
}
