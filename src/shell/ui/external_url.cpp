#include "shell/ui/external_url.h"

#include <QDesktopServices>
#include <QtGlobal>

void OpenExternalUrl(const QUrl &url)
{
    if (qEnvironmentVariable("KORVANTIS_NO_BROWSER") == QLatin1String("1"))
        return;
    QDesktopServices::openUrl(url);
}
