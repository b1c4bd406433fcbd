#pragma once

#include <QString>
#include <QStringList>

// Every text a page shows goes through these: nothing typed by a client, stored by
// the operator or read from a file can become markup or script.
namespace html {

// Text content and attribute values: & < > " ' become entities; characters that
// Windows-1251 cannot carry become numeric references, so the browser still shows them.
QString escape(const QString &text);

// Like escape(), with line breaks shown as <br>.
QString escapeLines(const QString &text);

// `shown` (already escaped) with every occurrence of each of `telephones` as a tel: link
// (the link dials its digits and a leading "+").
QString linkTelephones(QString shown, const QStringList &telephones);

// An address a page may link to or load: http(s) addresses, addresses of this
// server ("/..."), and bare host names such as "www.site.ua" (taken as http).
// Anything else (javascript:, data:, ...) gives an empty text.
QString safeUrl(const QString &address);

}  // namespace html
