#include "temp_dir.h"
#include "web_client.h"

#include "web/framework/controls.h"
#include "web/framework/html_text.h"
#include "web/framework/http_listener.h"
#include "web/framework/http_server.h"
#include "web/framework/web_application.h"
#include "web/framework/web_page.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace {

using namespace kvtest;

int liveSecondPages = 0;
// Held by a test to keep a click of "Count" under way.
std::mutex countGate;
std::atomic<bool> counting = false;

class SecondPage : public WebPage {
public:
    static constexpr const char *kName = "SecondPage";
    explicit SecondPage(WebSession &session) : WebPage(session, QString::fromLatin1(kName), QStringLiteral("Друга"))
    {
        ++liveSecondPages;
        Home.onClick = [this] { release(); };
        Tabs.titles = {QStringLiteral("Звідки"), QStringLiteral("Куди <b>")};
        Show.onClick = [this] {
            Shown.caption = QStringLiteral("[%1:%2:%3]").arg(Tabs.activePage).arg(From.text, To.text);
        };
    }
    ~SecondPage() override { --liveSecondPages; }
    WebImageButton Home{*this, QStringLiteral("Home")};
    WebTabControl Tabs{*this, QStringLiteral("Tabs")};
    WebRegion FromPage{*this, QStringLiteral("FromPage"), &Tabs};
    WebEdit From{*this, QStringLiteral("From"), &FromPage};
    WebRegion ToPage{*this, QStringLiteral("ToPage"), &Tabs};
    WebEdit To{*this, QStringLiteral("To"), &ToPage};
    WebButton Show{*this, QStringLiteral("Show")};
    WebLabel Shown{*this, QStringLiteral("Shown")};
};

class CounterPage : public WebPage {
public:
    static constexpr const char *kName = "CounterPage";
    explicit CounterPage(WebSession &session) : WebPage(session, QString::fromLatin1(kName), QStringLiteral("Лічильник"))
    {
        Edit.maxLength = 20;
        Go.onClick = [this] { Label.caption = QStringLiteral("[%1]").arg(Edit.text); };
        Async.onAsyncClick = [this] {
            this->session().showMessage(QStringLiteral("async <ok>"));
            this->session().openNewWindow(QStringLiteral("www.example.com"));
            this->session().openNewWindow(QStringLiteral("javascript:alert(1)"));
        };
        Tick.interval = 1000;
        Tick.onTimer = [this] {
            Label.caption = QStringLiteral("tick %1").arg(++ticks);
            if (ticks == 3)
                this->session().openPage<SecondPage>();
        };
        More.onAsyncClick = [this] {
            Panel.visible = More.checked;
            Inner.text = QStringLiteral("<i>%1</i>").arg(Edit.text);
        };
        Count.onClick = [this] {
            counting = true;
            const std::lock_guard gate(countGate);
            counting = false;
            this->session().showMessage(QStringLiteral("count %1").arg(++clicks));
        };
        Panel.visible = false;
        Fail.onClick = [] { throw std::runtime_error("збій у обробнику"); };
        Quit.onClick = [this] { this->session().terminate(QStringLiteral("Бувайте <b>!")); };
        Open.onClick = [this] { this->session().openPage<SecondPage>(); };
        Hidden.visible = false;
        Hidden.onClick = [this] { Label.caption = QStringLiteral("hidden ran"); };
    }
    WebLabel Label{*this, QStringLiteral("Label")};
    WebEdit Edit{*this, QStringLiteral("Edit")};
    WebButton Go{*this, QStringLiteral("Go")};
    WebLabel Async{*this, QStringLiteral("Async")};
    WebTimer Tick{*this, QStringLiteral("Tick")};
    WebButton Fail{*this, QStringLiteral("Fail")};
    WebButton Quit{*this, QStringLiteral("Quit")};
    WebButton Open{*this, QStringLiteral("Open")};
    WebRegion Hidden{*this, QStringLiteral("Hidden")};
    WebCheckBox More{*this, QStringLiteral("More")};
    WebRegion Panel{*this, QStringLiteral("Panel")};
    WebEdit Inner{*this, QStringLiteral("Inner"), &Panel};
    WebButton Count{*this, QStringLiteral("Count")};
    int ticks = 0;
    int clicks = 0;
};

class FrameworkTest : public ::testing::Test {
protected:
    FrameworkTest()
    {
        QDir(files.path()).mkdir(QStringLiteral("Files"));
        QFile page(files.filePath(QStringLiteral("Files/TimeOut.html")));
        page.open(QIODevice::WriteOnly);
        page.write("<html><body>TIME-OUT PAGE</body></html>");
    }
    void SetUp() override
    {
        app.onNewSession = [this](WebSession &session) {
            if (app.lockSessionList().sessions().size() > limit)
                session.terminate(QStringLiteral("Забагато сесій"));
        };
        app.onCloseSession = [this](WebSession &session) { closed << session.id(); };
        app.createStartPage = [](WebSession &session) { session.openPage<CounterPage>(); };
        ASSERT_TRUE(listener.start(0, nullptr));
    }
    WebApplication::Config config()
    {
        WebApplication::Config c;
        c.filesFolder = files.filePath(QStringLiteral("Files"));
        return c;
    }
    QStringList closedIds()
    {
        std::lock_guard guard(lock);
        return closed;
    }

    TempDir files;
    std::recursive_mutex lock;
    size_t limit = 100;
    QStringList closed;
    WebApplication app{lock, config()};
    HttpListener listener{[this](httplib::Server &server) { app.installRoutes(server); }};
};

TEST(HtmlText, EscapesMarkupAndKeepsCharactersTheCodePageLacks)
{
    EXPECT_EQ(html::escape(QStringLiteral("<a href='x'>&\"ї")), QStringLiteral("&lt;a href=&#39;x&#39;&gt;&amp;&quot;ї"));
    EXPECT_EQ(html::escape(QStringLiteral("€😀中")), QStringLiteral("€&#128512;&#20013;"));
    EXPECT_EQ(html::escapeLines(QStringLiteral("a\r\n<b>")), QStringLiteral("a<br>&lt;b&gt;"));
    EXPECT_EQ(html::safeUrl(QStringLiteral("javascript:alert(1)")), QString());
    EXPECT_EQ(html::safeUrl(QStringLiteral("data:text/html,x")), QString());
    EXPECT_EQ(html::safeUrl(QStringLiteral("//evil.example/x")), QString());
    EXPECT_EQ(html::safeUrl(QStringLiteral(" www.site.ua/a?b=1 ")), QStringLiteral("http://www.site.ua/a?b=1"));
    EXPECT_EQ(html::safeUrl(QStringLiteral("https://site.ua")), QStringLiteral("https://site.ua"));
    EXPECT_EQ(html::safeUrl(QStringLiteral("/files/a.bmp")), QStringLiteral("/files/a.bmp"));
}

TEST_F(FrameworkTest, SessionLivesUnderAnUnguessableAddressAndEscapesWhatItShows)
{
    WebClient browser(listener.port());
    const WebAnswer first = browser.open();
    ASSERT_EQ(first.status, 200);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^/zakaz/[0-9a-f]{32}$")).match(QString::fromStdString(browser.address)).hasMatch());
    EXPECT_TRUE(first.body.contains(QStringLiteral("<title>Лічильник</title>")));
    EXPECT_TRUE(first.body.contains(QStringLiteral("charset=\"windows-1251\"")));

    // Longer than the field's 20 characters: never typed into this page, so nothing runs.
    const WebAnswer crafted = browser.click(QStringLiteral("CounterPage"), QStringLiteral("Go"),
                                            {{QStringLiteral("Edit"), QStringLiteral("<b>\"x\"</b>0123456789abc")}});
    EXPECT_TRUE(crafted.body.contains(
        QStringLiteral("data-alerts=\"[&quot;Невірні дані форми. Оновіть сторінку і повторіть спробу !&quot;]\"")));
    const WebAnswer clicked = browser.click(QStringLiteral("CounterPage"), QStringLiteral("Go"),
                                            {{QStringLiteral("Edit"), QStringLiteral("<b>\"x\"</b>0123456789")}});
    EXPECT_TRUE(clicked.body.contains(QStringLiteral("[&lt;b&gt;&quot;x&quot;&lt;/b&gt;0123456789]")))
        << clicked.body.toStdString();
    EXPECT_FALSE(clicked.body.contains(QStringLiteral("<b>\"x\"")));
    WebClient other(listener.port());
    other.open();
    EXPECT_NE(other.address, browser.address);
    EXPECT_EQ(app.sessionCount(), 2);
}

TEST_F(FrameworkTest, EventsReachOnlyTheControlsThePageShows)
{
    WebClient browser(listener.port());
    EXPECT_TRUE(browser.open().body.contains(QStringLiteral("data-timer=\"Tick\" data-interval=\"1000\"")));
    // Timers tick asynchronously only.
    EXPECT_FALSE(browser.post(QStringLiteral("CounterPage"), {{QStringLiteral("__timer"), QStringLiteral("Tick")}})
                     .body.contains(QStringLiteral(">tick")));
    EXPECT_FALSE(browser.click(QStringLiteral("CounterPage"), QStringLiteral("Hidden")).body.contains(QStringLiteral("hidden ran")));
    // A form of another page (Back button) runs nothing.
    EXPECT_FALSE(browser.click(QStringLiteral("SecondPage"), QStringLiteral("Go"), {{QStringLiteral("Edit"), QStringLiteral("zz")}})
                     .body.contains(QStringLiteral("[zz]")));

    const WebAnswer failed = browser.click(QStringLiteral("CounterPage"), QStringLiteral("Fail"));
    EXPECT_TRUE(failed.body.contains(QStringLiteral("data-alerts=\"[&quot;збій у обробнику&quot;]\""))) << failed.body.toStdString();
    // An alert is shown once.
    EXPECT_FALSE(browser.get().body.contains(QStringLiteral("збій у обробнику")));

    const WebAnswer async =
        browser.post(QStringLiteral("CounterPage"), {{QStringLiteral("__async"), QStringLiteral("Async")}}, "/async");
    EXPECT_EQ(async.body,
              QStringLiteral("{\"alerts\":[\"async <ok>\"],\"open\":[\"http://www.example.com\"],\"updates\":[]}"));
}

// The controls an asynchronous answer replaces, by name.
QStringList updatedNames(const WebAnswer &answer)
{
    QStringList names;
    for (const QJsonValue update : QJsonDocument::fromJson(answer.body.toUtf8())[QStringLiteral("updates")].toArray())
        names << update.toArray()[0].toString();
    return names;
}

TEST_F(FrameworkTest, AsynchronousEventsSendOnlyWhatTheHandlerChanged)
{
    WebClient browser(listener.port());
    EXPECT_TRUE(browser.open().body.contains(QStringLiteral("<span id=\"Panel\" hidden></span>")));
    const QString page = QStringLiteral("CounterPage");
    const QString token = browser.token;
    // What the client typed is not sent back: only the label the tick changed.
    const WebAnswer tick = browser.post(page, {{QStringLiteral("__timer"), QStringLiteral("Tick")},
                                               {QStringLiteral("Edit"), QStringLiteral("typed")}}, "/async");
    EXPECT_EQ(updatedNames(tick), QStringList{QStringLiteral("Label")}) << tick.body.toStdString();
    EXPECT_TRUE(tick.body.contains(QStringLiteral(">tick 1<")));
    // The region appears whole; once shown, only the field inside it changes.
    const WebAnswer shown = browser.post(page, {{QStringLiteral("__async"), QStringLiteral("More")},
                                                {QStringLiteral("More"), QStringLiteral("on")},
                                                {QStringLiteral("Edit"), QStringLiteral("<b>")}}, "/async");
    EXPECT_EQ(updatedNames(shown), QStringList{QStringLiteral("Panel")});
    EXPECT_TRUE(shown.body.contains(QStringLiteral("&lt;i&gt;&lt;b&gt;&lt;/i&gt;"))) << shown.body.toStdString();
    EXPECT_EQ(updatedNames(browser.post(page, {{QStringLiteral("__async"), QStringLiteral("More")},
                                               {QStringLiteral("More"), QStringLiteral("on")},
                                               {QStringLiteral("Edit"), QStringLiteral("x")}}, "/async")),
              QStringList{QStringLiteral("Inner")});
    // Ticks leave the page's token as it was.
    EXPECT_EQ(browser.token, token);
    browser.post(page, {{QStringLiteral("__timer"), QStringLiteral("Tick")}}, "/async");
    // A tick that puts another page on top makes the browser load it.
    EXPECT_EQ(browser.post(page, {{QStringLiteral("__timer"), QStringLiteral("Tick")}}, "/async").body,
              QStringLiteral("{\"reload\":true}"));
    EXPECT_TRUE(browser.get().body.contains(QStringLiteral("<title>Друга</title>")));
}

TEST_F(FrameworkTest, AnEventRunsOnceForThePageOnScreen)
{
    WebClient browser(listener.port());
    browser.open();
    const QString page = QStringLiteral("CounterPage");
    const QString first = browser.token;
    // The post is answered with a redirect; the page it leads to tells the event's message
    // once, and a refresh of it does not again.
    EXPECT_TRUE(browser.click(page, QStringLiteral("Count")).body.contains(QStringLiteral("count 1")));
    EXPECT_FALSE(browser.get().body.contains(QStringLiteral("count")));
    // The same form again (a double click, Back to a spent page): nothing runs.
    browser.token = first;
    EXPECT_FALSE(browser.click(page, QStringLiteral("Count")).body.contains(QStringLiteral("count")));
    // A tick with the current token does not spend it; a form without a token runs nothing.
    browser.post(page, {{QStringLiteral("__timer"), QStringLiteral("Tick")}}, "/async");
    EXPECT_TRUE(browser.click(page, QStringLiteral("Count")).body.contains(QStringLiteral("count 2")));
    browser.token.clear();
    EXPECT_FALSE(browser.click(page, QStringLiteral("Count")).body.contains(QStringLiteral("count")));
    // A tick from an outdated page is not run: the browser is told to load the current one.
    browser.token = first;
    EXPECT_EQ(browser.post(page, {{QStringLiteral("__timer"), QStringLiteral("Tick")}}, "/async").body,
              QStringLiteral("{\"reload\":true}"));

    // Six identical posts at once run the event once.
    browser.get();
    std::vector<std::thread> posts;
    for (int i = 0; i < 6; ++i)
        posts.emplace_back([&browser, page, token = browser.token, address = browser.address, port = listener.port()] {
            WebClient copy(port);
            copy.address = address;
            copy.token = token;
            copy.click(page, QStringLiteral("Count"));
        });
    for (std::thread &post : posts)
        post.join();
    browser.get();
    const WebAnswer last = browser.click(page, QStringLiteral("Count"));
    EXPECT_TRUE(last.body.contains(QStringLiteral("count 4"))) << last.body.toStdString();
}

TEST_F(FrameworkTest, PagesOpenOnTopAndReleaseBackToThePageBeneath)
{
    WebClient browser(listener.port());
    browser.open();
    EXPECT_TRUE(browser.click(QStringLiteral("CounterPage"), QStringLiteral("Open")).body.contains(QStringLiteral("<title>Друга</title>")));
    EXPECT_EQ(liveSecondPages, 1);
    EXPECT_TRUE(browser.click(QStringLiteral("SecondPage"), QStringLiteral("Home")).body.contains(QStringLiteral("<title>Лічильник</title>")));
    EXPECT_EQ(liveSecondPages, 0);
}

TEST_F(FrameworkTest, TerminationSendsOnlyTheMessageAndThenTheTimeOutPage)
{
    WebClient browser(listener.port());
    browser.open();
    const WebAnswer bye = browser.click(QStringLiteral("CounterPage"), QStringLiteral("Quit"));
    EXPECT_TRUE(bye.body.contains(QStringLiteral("Бувайте &lt;b&gt;!")));
    EXPECT_FALSE(bye.body.contains(QStringLiteral("kv-form")));
    EXPECT_EQ(closedIds(), QStringList{QString::fromStdString(browser.address).section(u'/', 2)});
    EXPECT_TRUE(browser.get().body.contains(QStringLiteral("TIME-OUT PAGE")));
    // A stale address opens no new session by itself.
    EXPECT_EQ(app.sessionCount(), 0);
    EXPECT_TRUE(browser.get("/zakaz/0123456789abcdef0123456789abcdef").body.contains(QStringLiteral("TIME-OUT PAGE")));
    EXPECT_EQ(browser.get("/files/..%2FTimeOut.html").status, 404);
    EXPECT_EQ(browser.get("/files/TimeOut.html").status, 200);
}

TEST_F(FrameworkTest, ASessionAnswersOnlyTheAddressThatOpenedIt)
{
    WebClient browser(listener.port());
    browser.open();
    const QString path = QString::fromStdString(browser.address);
    EXPECT_TRUE(RawGet(listener.port(), path, QStringLiteral("127.0.0.2")).contains(QStringLiteral("TIME-OUT PAGE")));
    EXPECT_TRUE(RawGet(listener.port(), path, QStringLiteral("127.0.0.1")).contains(QStringLiteral("<title>Лічильник</title>")));
}

TEST_F(FrameworkTest, IdleSessionsEndAndUnseenMessagesReachTheirBrowserOnce)
{
    WebClient idle(listener.port());
    idle.open();
    app.expireIdleSessions(WebSession::Clock::now() + std::chrono::minutes(9));
    EXPECT_EQ(app.sessionCount(), 1);
    app.expireIdleSessions(WebSession::Clock::now() + std::chrono::minutes(10));
    EXPECT_EQ(app.sessionCount(), 0);
    EXPECT_EQ(closedIds().size(), 1);
    EXPECT_TRUE(idle.get().body.contains(QStringLiteral("TIME-OUT PAGE")));

    WebClient told(listener.port());
    told.open();
    const QString id = QString::fromStdString(told.address).section(u'/', 2);
    {
        const WebApplication::LockedList list = app.lockSessionList();
        ASSERT_EQ(list.sessions().size(), 1u);
        list.sessions()[0]->showMessage(QStringLiteral("Час вичерпано !"));
        app.removeSession(id);  // the recursive lock is taken again
    }
    EXPECT_TRUE(RawGet(listener.port(), QString::fromStdString(told.address), QStringLiteral("127.0.0.2"))
                    .contains(QStringLiteral("TIME-OUT PAGE")));
    EXPECT_TRUE(told.get().body.contains(QStringLiteral("Час вичерпано !")));
    EXPECT_TRUE(told.get().body.contains(QStringLiteral("TIME-OUT PAGE")));
}

// A session whose request is under way (its handler waiting, say, for the service lock)
// is in use: neither the idle sweep nor a replacement ends it under that request.
TEST_F(FrameworkTest, ASessionWithARequestUnderWayIsNotEndedForBeingUnused)
{
    WebClient busy(listener.port());
    busy.open();
    const QString id = QString::fromStdString(busy.address).section(u'/', 2);
    const auto always = [](const WebSession &) { return true; };
    std::unique_lock gate(countGate);
    WebAnswer answer;
    std::thread click([&] { answer = busy.click(QStringLiteral("CounterPage"), QStringLiteral("Count")); });
    while (!counting)
        std::this_thread::yield();
    app.expireIdleSessions(WebSession::Clock::now() + std::chrono::minutes(11));
    EXPECT_FALSE(app.removeIfUnused(id, always));
    EXPECT_EQ(app.sessionCount(), 1);
    gate.unlock();
    click.join();
    EXPECT_TRUE(answer.body.contains(QStringLiteral("count 1")));
    EXPECT_TRUE(app.removeIfUnused(id, always));
    EXPECT_EQ(app.sessionCount(), 0);
}

TEST_F(FrameworkTest, NewSessionHandlerMayRefuseAndUnknownBrowsersAreRefused)
{
    limit = 1;
    WebClient first(listener.port());
    EXPECT_EQ(first.open().status, 200);
    WebClient second(listener.port());
    const WebAnswer refused = second.open();
    EXPECT_TRUE(refused.body.contains(QStringLiteral("Забагато сесій")));
    EXPECT_TRUE(second.address.empty());
    EXPECT_EQ(app.sessionCount(), 1);
    EXPECT_EQ(closedIds().size(), 1);

    httplib::Client robot("127.0.0.1", listener.port());
    robot.set_default_headers({{"User-Agent", "curl/8.0"}});
    const auto answer = robot.Get("/zakaz");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 406);
    EXPECT_EQ(app.sessionCount(), 1);
}

}  // namespace

namespace {

TEST_F(FrameworkTest, PagesGoOutUncompressedAndWithoutReferrer)
{
    WebClient browser(listener.port());
    ASSERT_EQ(browser.open().status, 200);
    httplib::Client raw("127.0.0.1", listener.port());
    const httplib::Result page = raw.Get(browser.address.c_str(), {{"User-Agent", kChromeAgent},
                                                                   {"Accept-Encoding", "gzip, deflate, br"}});
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_FALSE(page->has_header("Content-Encoding"));
    EXPECT_EQ(page->get_header_value("Referrer-Policy"), "no-referrer");
    EXPECT_NE(page->body.find("<title>"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(FrameworkTest, EveryTabPagePostsAndTheActiveOneIsShown)
{
    WebClient browser(listener.port());
    browser.open();
    const WebAnswer second = browser.click(QStringLiteral("CounterPage"), QStringLiteral("Open"));
    EXPECT_TRUE(second.body.contains(QStringLiteral("data-tab=\"1\">Куди &lt;b&gt;</button>"))) << second.body.toStdString();
    EXPECT_TRUE(second.body.contains(QStringLiteral("<div class=\"kv-tab-page\" data-page=\"1\" hidden>")));

    // Typed on the first page, then the second page was chosen in the browser.
    const WebAnswer shown = browser.click(QStringLiteral("SecondPage"), QStringLiteral("Show"),
                                          {{QStringLiteral("Tabs"), QStringLiteral("1")},
                                           {QStringLiteral("From"), QStringLiteral("Вокзал")},
                                           {QStringLiteral("To"), QStringLiteral("Ринок")}});
    EXPECT_TRUE(shown.body.contains(QStringLiteral("[1:Вокзал:Ринок]"))) << shown.body.toStdString();
    EXPECT_TRUE(shown.body.contains(QStringLiteral("<div class=\"kv-tab-page\" data-page=\"0\" hidden>")));
    EXPECT_TRUE(browser.click(QStringLiteral("SecondPage"), QStringLiteral("Show"), {{QStringLiteral("Tabs"), QStringLiteral("7")}})
                    .body.contains(QStringLiteral("[1:")));
}

}  // namespace

namespace {

// Raw HTTP on a socket of its own from `sourceIp`: what a client sends, and everything
// the server answered before it closed the connection (or `wait` ran out).
QByteArray RawExchange(int port, const QByteArray &request, const QString &sourceIp = QStringLiteral("127.0.0.1"),
                       int wait = 5000)
{
    QTcpSocket socket;
    socket.bind(QHostAddress(sourceIp));
    socket.connectToHost(QHostAddress::LocalHost, quint16(port));
    if (!socket.waitForConnected(5000))
        return "<no connection>";
    socket.write(request);
    socket.waitForBytesWritten(5000);
    QByteArray reply;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(wait))
        reply += socket.readAll();
    return reply + socket.readAll();
}

TEST_F(FrameworkTest, RequestsAreCountedAsTheyArriveAndRefusedPastTheLimits)
{
    // A body of unknown length is never held; a declared one past the limit is refused
    // before it is sent; so is a head that does not end.
    EXPECT_TRUE(RawExchange(listener.port(), "POST /zakaz/x HTTP/1.1\r\nHost: a\r\nTransfer-Encoding: chunked\r\n\r\n"
                                             "100000\r\n" + QByteArray(100, 'x'))
                    .startsWith("HTTP/1.1 411 "));
    EXPECT_TRUE(RawExchange(listener.port(), "POST /zakaz/x HTTP/1.1\r\nHost: a\r\nContent-Length: 1000000000\r\n\r\n")
                    .startsWith("HTTP/1.1 413 "));
    EXPECT_TRUE(RawExchange(listener.port(), "GET /zakaz HTTP/1.1\r\nX: " + QByteArray(20000, 'x'))
                    .startsWith("HTTP/1.1 431 "));
    // A client that sends its request and closes its side still gets the answer.
    EXPECT_TRUE(RawExchange(listener.port(), "GET /files/TimeOut.html HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n")
                    .contains("TIME-OUT PAGE"));
}

TEST_F(FrameworkTest, SlowClientsAreCutOffAndHoldNoRequestThread)
{
    HttpServer::Limits limits;
    limits.requestTime = std::chrono::milliseconds(400);
    limits.maxPerAddress = 40;
    limits.threads = 2;
    HttpListener strict([this](httplib::Server &server) { app.installRoutes(server); }, limits);
    ASSERT_TRUE(strict.start(0, nullptr));
    // Forty clients that never finish their request head, from one address ...
    std::vector<std::unique_ptr<QTcpSocket>> slow;
    for (int i = 0; i < 40; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->bind(QHostAddress(QStringLiteral("127.0.0.3")));
        socket->connectToHost(QHostAddress::LocalHost, quint16(strict.port()));
        ASSERT_TRUE(socket->waitForConnected(5000));
        socket->write("GET /zakaz HTTP/1.1\r\nHost: a\r\n");
        socket->flush();
        slow.push_back(std::move(socket));
    }
    // ... leave the two request threads to everyone else; the address has no room left.
    WebClient browser(strict.port());
    EXPECT_EQ(browser.open().status, 200);
    EXPECT_EQ(RawExchange(strict.port(), "GET /zakaz HTTP/1.1\r\n\r\n", QStringLiteral("127.0.0.3"), 1000), QByteArray());
    // Past the deadline they are closed.
    for (auto &socket : slow)
        EXPECT_TRUE(socket->state() == QAbstractSocket::UnconnectedState || socket->waitForDisconnected(3000));
}

}  // namespace

namespace {

TEST_F(FrameworkTest, BehindATrustedProxyTheForwardedAddressIsTheClients)
{
    // What a request to a session address from 127.0.0.1 with this X-Forwarded-For gets.
    const auto ask = [this](const std::string &address, const char *forwarded) {
        httplib::Client raw("127.0.0.1", listener.port());
        const auto answer = raw.Get(address, {{"User-Agent", kChromeAgent}, {"X-Forwarded-For", forwarded}});
        return answer ? win1251::toUnicode(QByteArray::fromStdString(answer->body)) : QString();
    };
    const auto open = [this](const char *forwarded) {
        httplib::Client raw("127.0.0.1", listener.port());
        return raw.Get("/zakaz", {{"User-Agent", kChromeAgent}, {"X-Forwarded-For", forwarded}})->get_header_value("Location");
    };
    // Not trusted: the header is ignored.
    const std::string plain = open("10.0.0.5");
    EXPECT_TRUE(ask(plain, "10.0.0.6").contains(QStringLiteral("<title>Лічильник</title>")));

    app.setTrustedProxies({QStringLiteral("127.0.0.1")});
    const std::string proxied = open("203.0.113.9, 10.0.0.5");
    EXPECT_TRUE(ask(proxied, "10.0.0.5").contains(QStringLiteral("<title>Лічильник</title>")));
    EXPECT_TRUE(ask(proxied, "10.0.0.6").contains(QStringLiteral("TIME-OUT PAGE")));
    EXPECT_TRUE(ask(proxied, "10.0.0.5, 127.0.0.1").contains(QStringLiteral("<title>Лічильник</title>")));
    EXPECT_TRUE(ask(proxied, "10.0.0.5:51234").contains(QStringLiteral("<title>Лічильник</title>")));
    EXPECT_TRUE(ask(proxied, "garbage").contains(QStringLiteral("TIME-OUT PAGE")));
}

}  // namespace
