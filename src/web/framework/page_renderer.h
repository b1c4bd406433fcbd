#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class WebPage;

// Pages as the browser gets them: HTML in Windows-1251, one form per page posting
// to the session's address, plain CSS and a few lines of script for changes,
// timers, asynchronous events with their updates in place, alerts and new windows.
namespace PageRenderer {

inline constexpr const char *kContentType = "text/html; charset=windows-1251";

// `action` is the session's address and `token` the session's page token, posted
// with every event; `view` numbers this page among those the session served, and the
// page's leaving beacon carries it. `messages` become alert boxes and `windows` new
// windows once the page has loaded. `styleSheet` is the application's own CSS.
QByteArray page(const WebPage &page, const QString &action, const QString &token, quint64 view,
                const QStringList &messages, const QStringList &windows, const QString &styleSheet);

// A page with a message only: a terminated session, a refused browser.
// A page of one message; with `home`, a link back to the service's main page under it.
QByteArray message(const QString &title, const QString &text, const QString &styleSheet, const QString &home = {});

}  // namespace PageRenderer
