#include "web/framework/html_text.h"

#include "common/win1251.h"

#include <QRegularExpression>

namespace html {

QString escape(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&#39;"); break;
        default:
            if (c.unicode() < 0x80) {
                out += c;
            } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                out += QStringLiteral("&#%1;").arg(QChar::surrogateToUcs4(c, text[i + 1]));
                ++i;
            } else if (c.isSurrogate()) {
                out += QLatin1String("&#65533;");
            } else if (win1251::representable(QString(c))) {
                out += c;
            } else {
                out += QStringLiteral("&#%1;").arg(c.unicode());
            }
        }
    }
    return out;
}

QString escapeLines(const QString &text)
{
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(u'\r', u'\n');
    return escape(normalised).replace(u'\n', QLatin1String("<br>"));
}

QString safeUrl(const QString &address)
{
    const QString url = address.trimmed();
    if (url.isEmpty())
        return {};
    if (url.startsWith(u'/') && !url.startsWith(QLatin1String("//")))
        return url;
    static const QRegularExpression web(QStringLiteral("^https?://[^\\s]+$"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (web.match(url).hasMatch())
        return url;
    // "www.site.ua/page": a host name without a scheme, as operators often type it.
    static const QRegularExpression bareHost(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9.-]*\\.[A-Za-z]{2,}(:[0-9]+)?([/?#][^\\s]*)?$"));
    if (bareHost.match(url).hasMatch())
        return QStringLiteral("http://") + url;
    return {};
}

QString linkTelephones(QString shown, const QStringList &telephones)
{
    for (const QString &telephone : telephones) {
        const QString escaped = escape(telephone);
        if (escaped.isEmpty())
            continue;
        QString dial;
        for (const QChar c : telephone)
            if (c.isDigit() || (c == u'+' && dial.isEmpty()))
                dial += c;
        const QString link = QStringLiteral("<a href=\"tel:%1\">%2</a>").arg(dial, escaped);
        // Replaced from the end, so that an inserted link is never searched again.
        for (qsizetype at = shown.lastIndexOf(escaped); at >= 0;
             at = at == 0 ? -1 : shown.lastIndexOf(escaped, at - 1))
            shown.replace(at, escaped.size(), link);
    }
    return shown;
}

}  // namespace html
