#pragma once

#include "mobile/java_activ_rows.h"
#include "mobile/java_client_table.h"
#include "mobile/java_command.h"
#include "mobile/java_listener.h"
#include "mobile/java_route_worker.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <map>
#include <vector>

class QTcpSocket;
class RouteEngine;
class ServiceContext;

// The socket server of the mobile application, on the main thread. Clients are known
// by their IPv4 address only; what the server remembers of them lives in the
// connection table, one slot per address. Every request runs to its end, database
// work included, under the service lock before the next socket event is taken - except
// one that needs the online route page: it is put aside while the worker fetches the
// page, and its connection's later requests wait their turn, so that answers keep the
// order of the requests. Once the distance is there the request is run again with it;
// when its connection has gone meanwhile it is still completed (an order is placed and
// logged) and only the answer is dropped.
class MobileServer : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    static constexpr int kIdleSeconds = 30;
    // Requests of one connection sent one behind the other that may wait for the route
    // page; the further ones are priced as a trip the page could not measure.
    static constexpr int kMaxRouteWaits = 2;

    explicit MobileServer(ServiceContext &context, QObject *parent = nullptr);
    ~MobileServer() override;

    // Makes the connection table `size` slots long, every slot reset.
    void resetTable(int size);
    // Listens on every IPv4 address of the machine and starts the refresh timer.
    bool activate(quint16 port);
    // Closes the open connections, stops listening and stops the refresh timer. Requests
    // waiting for the route page are completed at once without its distance.
    void deactivate();
    bool isActive() const { return server_.isListening(); }
    // Why the last activate() failed.
    QString errorString() const { return server_.errorString(); }
    // Every open connection goes through its disconnect handling.
    void closeAllConnections();
    int connectionCount() const { return int(connections_.size()); }
    quint16 port() const { return server_.serverPort(); }

    // The slots end by this clock (the machine's by default) and are checked every
    // `interval` (10 s by default): tests move the clock instead of waiting.
    void setClock(Clock clock) { clock_ = std::move(clock); }
    void setRefreshInterval(int milliseconds) { refreshTimer_.setInterval(milliseconds); }

    const JavaClientTable &table() const { return table_; }

    // The engine that prices trips and writes orders; the server control owns it.
    void setRouteEngine(RouteEngine &routes) { routes_ = &routes; }

    // A named event of the dispatchers' database, on the main thread: an order change
    // tells the clients whose view of their orders may be stale to ask again with a
    // bare "<UpdateZam>@"; a new map point extends the city map.
    void IBEvents1_BAZA_TAXIEventAlert(const QString &name);

    // Registers a connection: the first free slot, and its TABLE_ACTIV row.
    void TakeJavaSlot(const QString &address);
    // Frees the first slot of the address and deletes the address's TABLE_ACTIV rows.
    void ReleaseJavaSlot(const QString &address);
    // Sends text + "@" to the first open connection from the address, in one write;
    // nothing when there is none. A failed send loses the answer and nothing else.
    void SendJavaAnswer(const QString &address, const QByteArray &text);
    // Runs one request of the address. A failed one ends without an answer; its failure
    // goes to the operator, but for a lost database connection, which the logs tell once.
    void DispatchJavaCommand(const QString &address, const QByteArray &request);

    // Ends the connections whose slots are past their planned end.
    void TimerRefleshJavaClientTimer();

private:
    struct Connection {
        QTcpSocket *socket;
        QString address;
        quint64 id;            // never reused: tells a connection from a later one of its address
        QDateTime lastRequest;  // of its last complete request; its connect until then
        bool served = false;    // it has sent a complete request
        bool waiting = false;   // a request waits for the route page; later ones wait their turn
        int routeWaits = 0;     // its requests that waited for the route page one behind the other
    };
    // A request put aside until the route page has given its distance.
    struct Deferred {
        quint64 connection;
        QString address;
        JavaCommand command;
        QByteArray request;
        QDateTime now;          // the request's own time
        TTableJavaClient slot;  // as it was, for completing it after its connection went
        OnlineTrip trip;
    };

    void acceptPending();
    void JAVASERVERClientConnect(QTcpSocket *socket);
    void JAVASERVERAccept(QTcpSocket *socket);
    void JAVASERVERClientWrite(QTcpSocket *socket);
    void JAVASERVERClientRead(QTcpSocket *socket);
    void JAVASERVERClientDisconnect(const QString &address);
    void JAVASERVERClientError(QTcpSocket *socket, int errorCode);

    // The dotted address of an open connection; empty once it is closed.
    QString addressOf(const QTcpSocket *socket) const;
    bool isOpen(const QTcpSocket *socket) const;
    // Closes a connection; its disconnect handling has run when this returns.
    void closeConnection(QTcpSocket *socket);
    void closeFirstFrom(const QString &address);
    // Connections that hold a socket (and maybe a slot) for nothing: those that sent no
    // request within kIdleSeconds of connecting are closed; when every slot is taken, a
    // newcomer's room is made by closing the connection that has not logged in and has
    // been silent longest, at least kIdleSeconds. False when there is none such.
    void closeIdleConnections();
    bool closeLongestSilent();

    Connection *connectionOf(const QTcpSocket *socket);
    Connection *connectionWithId(quint64 id);
    // Runs the complete requests in the connection's buffer until one waits or fails, or
    // the client has too many answers still to take.
    void serveBuffered(QTcpSocket *socket);
    // The client took answers: its waiting requests, then its unread bytes, go on.
    void resume(QTcpSocket *socket);
    // The TABLE_ACTIV rows of the connections taken and released since the last write.
    void queueActivChange(JavaActivChange change);
    void writeActivChanges();

    void runCommand(const QString &address, TTableJavaClient &slot, const QByteArray &request);
    // The two requests that may need the route page: their answer, or OnlineDistanceNeeded.
    QByteArray routeAnswer(JavaCommand command, TTableJavaClient &slot, const QByteArray &request,
                           const QDateTime &now, const OnlinePolicy &online);
    void sendRouteAnswer(const QString &address, JavaCommand command, const QByteArray &answer);
    void defer(Deferred deferred, OnlineDistanceNeeded needed);
    // The worker's distance for a request put aside: it is run again and answered.
    void complete(quint64 ticket, double kilometres);
    void sendOrderAnswer(const QString &address, const QByteArray &answer);
    RouteEngine &routes() const;
    bool orderViewStale(const TTableJavaClient &slot);
    void reportFailure(const QString &text);
    void logEvent(const QString &rest);
    QString nowText() const;

    ServiceContext &context_;
    JavaListener server_;
    QTimer refreshTimer_;
    QTimer activTimer_;
    Clock clock_;
    std::vector<Connection> connections_;  // open connections in arrival order
    quint64 lastConnectionId_ = 0;
    JavaClientTable table_;
    RouteEngine *routes_ = nullptr;
    std::map<quint64, Deferred> deferred_;  // by the worker's ticket
    std::vector<JavaActivChange> activChanges_;
    JavaRouteWorker worker_;
};
