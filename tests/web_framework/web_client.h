#pragma once

// A browser as the web tests see one: real HTTP to the listener, a browser's
// User-Agent, pages decoded from Windows-1251, the session address kept.

#include "common/win1251.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QString>
#include <QTcpSocket>

#include <httplib.h>

#include <utility>
#include <vector>

namespace kvtest {

inline const char *const kChromeAgent =
    "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0 Safari/537.36";

struct WebAnswer {
    int status = 0;
    QString body;
    std::string location;
};

class WebClient {
public:
    explicit WebClient(int port) : client_("127.0.0.1", port)
    {
        client_.set_default_headers({{"User-Agent", kChromeAgent}});
    }
    // A browser behind a trusted proxy on this machine: the proxy names its address.
    WebClient(int port, const std::string &forwardedFor) : client_("127.0.0.1", port)
    {
        client_.set_default_headers({{"User-Agent", kChromeAgent}, {"X-Forwarded-For", forwardedFor}});
    }

    // Opens /zakaz: a new session; the answer is its first page (or the refusal).
    // Every page's token is kept and posted with the next event, as a browser's form does.
    WebAnswer open()
    {
        WebAnswer first = answer(client_.Get("/zakaz"));
        if (first.status != 303)
            return first;
        address = first.location;
        return get();
    }
    WebAnswer get(const std::string &path = {}) { return keep(answer(client_.Get(path.empty() ? address : path))); }

    // Posts the page's form: control values, and the event as "__click" (etc.) = control.
    // "/async" as suffix posts as the page's script does for timers and asynchronous clicks.
    WebAnswer post(const QString &page, const std::vector<std::pair<QString, QString>> &fields, const std::string &suffix = {})
    {
        httplib::Params params{{"__page", page.toStdString()}, {"__token", token.toStdString()}};
        for (const auto &[name, value] : fields)
            params.emplace(name.toStdString(), value.toStdString());
        // A full-page post is answered with a redirect to the page, as a browser follows it.
        const WebAnswer posted = answer(client_.Post(address + suffix, params));
        if (posted.status == 303 && !posted.location.empty())
            return get(posted.location);
        return keep(posted);
    }
    WebAnswer click(const QString &page, const QString &control, std::vector<std::pair<QString, QString>> fields = {})
    {
        fields.emplace_back(QStringLiteral("__click"), control);
        return post(page, fields);
    }

    std::string address;  // "/zakaz/<id>"
    QString token;        // of the last page
    QString view;         // the last page's number, which its leaving beacon carries

private:
    WebAnswer keep(WebAnswer a)
    {
        static const QRegularExpression field(QStringLiteral("name=\"__token\" value=\"([0-9a-f]+)\""));
        static const QRegularExpression number(QStringLiteral("data-view=\"([0-9]+)\""));
        const QRegularExpressionMatch match = field.match(a.body);
        if (match.hasMatch())
            token = match.captured(1);
        const QRegularExpressionMatch served = number.match(a.body);
        if (served.hasMatch())
            view = served.captured(1);
        return a;
    }
    static WebAnswer answer(const httplib::Result &result)
    {
        WebAnswer a;
        if (!result)
            return a;
        a.status = result->status;
        // Pages are Windows-1251; the answers of asynchronous events are JSON in UTF-8.
        const QByteArray body = QByteArray::fromStdString(result->body);
        a.body = result->get_header_value("Content-Type").rfind("application/json", 0) == 0 ? QString::fromUtf8(body)
                                                                                          : win1251::toUnicode(body);
        a.location = result->get_header_value("Location");
        return a;
    }
    httplib::Client client_;
};

// One GET from a given local address (127.0.0.2 is another browser on this machine).
inline QString RawGet(int port, const QString &path, const QString &sourceIp)
{
    QTcpSocket socket;
    socket.bind(QHostAddress(sourceIp));
    socket.connectToHost(QHostAddress::LocalHost, quint16(port));
    if (!socket.waitForConnected(5000))
        return QStringLiteral("<no connection>");
    socket.write(QStringLiteral("GET %1 HTTP/1.1\r\nHost: localhost\r\nUser-Agent: %2\r\nConnection: close\r\n\r\n")
                     .arg(path, QString::fromLatin1(kChromeAgent))
                     .toLatin1());
    QByteArray reply;
    while (socket.waitForReadyRead(5000))
        reply += socket.readAll();
    return win1251::toUnicode(reply);
}

}  // namespace kvtest
