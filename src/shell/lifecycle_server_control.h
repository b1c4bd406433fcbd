#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <memory>

class MobileServer;
class RouteEngine;
class ServiceContext;
class WebService;

// The life cycle of the process and its two servers: start-up when the operator
// window is first shown, start and stop from the menu, the one-second housekeeping,
// and whether the program may close.
class ServerControl : public QObject {
    Q_OBJECT
public:
    enum class StartUpResult {
        Ready,           // databases open, housekeeping running
        Close,           // a failure has been shown: the program ends
        Restart,         // the service database was created: a new copy takes over
    };

    ServerControl(ServiceContext &context, bool headless, QObject *parent = nullptr);
    ~ServerControl() override;

    // What the operator window's creation does besides building itself: the news
    // are loaded (NEWS.rtf created when missing). Headless mode does it too.
    void FormCreate();
    StartUpResult StartUp();

    void N2Click();   // "ЗАПУСТИТИ СЕРВЕР"
    // "ЗУПИНИТИ СЕРВЕР" chosen by the operator: with phones or web sessions connected it
    // asks first; with nobody connected it stops at once.
    void N5Click();
    // Stops both servers without a question: Ctrl+C, SIGINT, SIGTERM, headless mode.
    void stopServers();
    void N10Click();  // "ДЕАКТИВУВАТИ ... ВИБІРКУ КЛІЄНТІВ"
    void Timer1Timer();

    // Closing is refused while the servers run.
    bool FormCloseQuery();
    // Saves both logs to files, web log first, whatever their length. False when a log
    // could not be saved; the operator has been told.
    bool FormClose();

    int tickCount() const { return tick_; }
    int webPort() const;
    bool mobileActive() const;
    // Running, and the mobile server listening unless the settings keep it closed.
    bool serversUp() const;

    RouteEngine &routes() { return *routes_; }

signals:
    // The Firebird client has tried its first connection, at which it takes SIGINT and
    // SIGTERM for a shutdown of its own: whoever handles them takes them back now.
    void databaseClientStarted();
    void runningChanged(bool running);
    void settingsPageVisible(bool visible);
    void openUrl(const QUrl &url);
    // The service database creation page and its progress lines.
    void creationPageShown();
    void creationProgress(const QStringList &lines);

private:
    enum class Creation { NotAttempted, Failed, Created };
    Creation createServiceDatabase();
    bool openServiceBase();
    // The dispatchers' clients are read into memory every CHAS_OBNOVL_KLIENTIV seconds.
    void startClientList();
    // SHLYAH_BAZA/CHAS_OCHIKUVANNYA_BAZY in seconds; a value that is no positive number
    // is told once in the log and the default holds.
    int databaseWait();
    void abortStart(const QString &reason);
    void writeStartReport();
    // Empty when the mobile server listens; otherwise why it does not.
    QString startMobileServer();
    void writeStopReports();
    // The minute's lifting of ended bans; a failure is told once until it works again.
    void releaseExpiredBans();

    ServiceContext &context_;
    bool headless_;
    std::unique_ptr<WebService> web_;
    std::unique_ptr<MobileServer> mobile_;
    std::unique_ptr<RouteEngine> routes_;
    QTimer timer1_;
    int tick_ = 0;
    bool banFailureTold_ = false;
    QString reportedWait_;
};
