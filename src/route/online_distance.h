#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>

// The driving distance between two addresses from the online route page, for trips
// whose start or destination has no point on the city map.

// The bytes as the route page's query string wants them: blank as "+", digits, Latin
// letters and "_" as they are, every other byte as "%XX" (upper-case hex).
QByteArray UrlEncodeQuery(const QByteArray &bytes);

// Asked now and then while a page is fetched (at least once a second); true ends the
// fetch at once, with no distance.
using FetchCancelled = std::function<bool()>;

// The distance in metres that the page at `url` names; 0 on any failure. Redirects are
// followed here, at most kMaxRouteRedirects of them.
inline constexpr int kMaxRouteRedirects = 10;
double FetchRouteDistance(const QString &url, std::chrono::milliseconds timeout = std::chrono::seconds(90),
                          const FetchCancelled &cancelled = {});

// The page address for a trip in `city` between two address texts.
QString RouteQueryUrl(const QString &host, const QString &city, const QString &start, const QString &destination);

// Kilometres between the two address texts; 0 when none could be had. `logEvent` gets
// the rest of a web log line after its "[" and date-time.
double OnlineTripDistance(const QString &host, const QString &city, const QString &start,
                          const QString &destination, const std::function<void(const QString &)> &logEvent,
                          const FetchCancelled &cancelled = {});
