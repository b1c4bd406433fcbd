#pragma once

#include "../web_framework/web_client.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace kvtest {

// What a page's answer says in its alert boxes, one alert a line.
inline QString AlertsOf(const WebAnswer &answer)
{
    static const QRegularExpression notices(QStringLiteral("data-alerts=\"([^\"]*)\""));
    QString json = notices.match(answer.body).captured(1);
    json.replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&amp;"), QStringLiteral("&"))
        .replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&#39;"), QStringLiteral("'"));
    QStringList alerts;
    for (const QJsonValue alert : QJsonDocument::fromJson(json.toUtf8()).array())
        alerts << alert.toString();
    return alerts.join(u'\n');
}

}  // namespace kvtest
