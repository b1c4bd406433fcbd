#include "route/online_distance.h"

#include "common/extract_between.h"
#include "common/win1251.h"

#include <curl/curl.h>

#include <QStringList>

#include <cmath>
#include <memory>
#include <mutex>

namespace {

// The route page is a few hundred kilobytes; anything far beyond is not it.
constexpr size_t kMaxBody = 16 * 1024 * 1024;
constexpr size_t kMaxHeaderLines = 200;

struct Response {
    QByteArray body;
    QList<QByteArray> headerLines;
    bool tooLarge = false;
};

size_t appendBody(char *data, size_t size, size_t count, void *user)
{
    auto *response = static_cast<Response *>(user);
    const size_t length = size * count;
    if (size_t(response->body.size()) + length > kMaxBody) {
        response->tooLarge = true;
        return 0;  // curl ends the transfer with a write error
    }
    response->body.append(data, qsizetype(length));
    return length;
}

size_t appendHeader(char *data, size_t size, size_t count, void *user)
{
    auto *response = static_cast<Response *>(user);
    const size_t length = size * count;
    // A new status line starts the headers of a new response (an interim 100 Continue).
    if (length >= 5 && std::string_view(data, 5) == "HTTP/")
        response->headerLines.clear();
    if (size_t(response->headerLines.size()) < kMaxHeaderLines)
        response->headerLines.append(QByteArray(data, qsizetype(length)).trimmed());
    return length;
}

struct CurlDeleter {
    void operator()(CURL *curl) const { curl_easy_cleanup(curl); }
};
struct CurlUrlDeleter {
    void operator()(CURLU *url) const { curl_url_cleanup(url); }
};

void initialiseCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

int askCancelled(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return (*static_cast<const FetchCancelled *>(user))() ? 1 : 0;  // non-zero aborts the transfer
}

// One GET; the HTTP status, or 0 when the server was not reached.
long get(const QByteArray &url, std::chrono::milliseconds timeout, const FetchCancelled &cancelled,
         Response &response)
{
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl)
        return 0;
    response = {};
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.constData());
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);  // called from request threads
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, long(timeout.count()));
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &response);
    curl_easy_setopt(curl.get(), CURLOPT_HEADERFUNCTION, appendHeader);
    curl_easy_setopt(curl.get(), CURLOPT_HEADERDATA, &response);
    if (cancelled) {
        curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, askCancelled);
        curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &cancelled);
        curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
    }
    if (curl_easy_perform(curl.get()) != CURLE_OK)
        return 0;
    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    return status;
}

// The address a redirect leads to: "//host/path" gets "http:" in front, as the route
// page has always been asked over plain HTTP; "/path" is resolved against the current
// address (the old client turned it into "http:/path", which no server answers); any
// other location is taken as it stands. Empty when there is nowhere to go.
QByteArray redirectTarget(const QByteArray &current, const Response &response)
{
    static const QByteArray key = "Location: ";
    for (const QByteArray &line : response.headerLines) {
        const qsizetype at = line.indexOf(key);
        if (at < 0)
            continue;
        QByteArray location = line;
        location.remove(at, key.size());
        location = location.trimmed();
        if (location.startsWith("//"))
            return "http:" + location;
        if (!location.startsWith('/'))
            return location;
        std::unique_ptr<CURLU, CurlUrlDeleter> url(curl_url());
        char *text = nullptr;
        if (!url || curl_url_set(url.get(), CURLUPART_URL, current.constData(), 0) != CURLUE_OK
            || curl_url_set(url.get(), CURLUPART_URL, location.constData(), CURLU_URLENCODE) != CURLUE_OK
            || curl_url_get(url.get(), CURLUPART_URL, &text, 0) != CURLUE_OK)
            return {};
        QByteArray target(text);
        curl_free(text);
        return target;
    }
    return {};
}

double distanceInPage(const QByteArray &body)
{
    const qsizetype duration = body.indexOf("\"duration\"");
    if (duration < 0)
        return 0;
    const QByteArray value = ExtractBetween(body.mid(duration), QByteArray("\"distance\":"), QByteArray(",\"segments\""));
    bool ok = false;
    const double metres = value.toDouble(&ok);  // a point as decimal separator, whatever the locale
    return ok && std::isfinite(metres) ? metres : 0;
}

QString searchPhrase(const QString &address)
{
    if (!address.contains(QStringLiteral("]{")))
        return address;
    return ExtractBetween(address, QStringLiteral("["), QStringLiteral("]")) + u' '
        + ExtractBetween(address, QStringLiteral("{"), QStringLiteral("}"));
}

QString encodedPlace(const QString &city, const QString &address)
{
    // The text goes through the single-byte code page first, as the old program's
    // strings did: a character Windows-1251 lacks arrives as '?'.
    const QString text = win1251::toUnicode(win1251::fromUnicode(city + u' ' + searchPhrase(address)));
    return QString::fromLatin1(UrlEncodeQuery(text.toUtf8()));
}

}  // namespace

QByteArray UrlEncodeQuery(const QByteArray &bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray encoded;
    encoded.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == ' ')
            encoded += '+';
        else if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_')
            encoded += char(b);
        else
            encoded.append('%').append(hex[b >> 4]).append(hex[b & 0x0F]);
    }
    return encoded;
}

double FetchRouteDistance(const QString &url, std::chrono::milliseconds timeout, const FetchCancelled &cancelled)
{
    initialiseCurl();
    QByteArray current = url.toUtf8();
    Response response;
    long status = get(current, timeout, cancelled, response);
    for (int redirects = 0; status >= 300 && status <= 399; ++redirects) {
        if (redirects == kMaxRouteRedirects || (cancelled && cancelled()))
            return 0;
        current = redirectTarget(current, response);
        if (current.isEmpty())
            return 0;
        status = get(current, timeout, cancelled, response);
    }
    if (status < 200 || status > 299 || response.tooLarge)
        return 0;
    return distanceInPage(response.body);
}

QString RouteQueryUrl(const QString &host, const QString &city, const QString &start, const QString &destination)
{
    return QStringLiteral("http://") + host + QStringLiteral("/?rt=") + encodedPlace(city, start) + u'~'
        + encodedPlace(city, destination)
        + QStringLiteral("&via=&sll=30.522301%2C50.451118&sspn=0.755310%2C0.291102&rtm=atm&ll=30.522301%2C50.451118"
                         "&spn=0.755310%2C0.291102&z=11&l=map&ncrnd=7702&nocookiesupport=yes");
}

double OnlineTripDistance(const QString &host, const QString &city, const QString &start,
                          const QString &destination, const std::function<void(const QString &)> &logEvent,
                          const FetchCancelled &cancelled)
{
    if (city.trimmed().isEmpty()) {
        logEvent(QStringLiteral("] Помилка у прорахунку відстані по заданих данних кодованого клієнта (не задано "
                                "місто знаходження служби) !"));
        return 0;
    }
    return FetchRouteDistance(RouteQueryUrl(host, city, start, destination), std::chrono::seconds(90), cancelled)
        / 1000;
}
