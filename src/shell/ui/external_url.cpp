#include "shell/ui/external_url.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QtGlobal>

namespace {

bool turnedOff() { return qEnvironmentVariable("KORVANTIS_NO_BROWSER") == QLatin1String("1"); }

}  // namespace

void OpenExternalUrl(const QUrl &url)
{
    if (turnedOff())
        return;
    QDesktopServices::openUrl(url);
}

bool OpenExportedFile(const QString &path)
{
    const QString platform = QGuiApplication::platformName();
    if (turnedOff() || platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
