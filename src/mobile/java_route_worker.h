#pragma once

#include "route/route_engine.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// The mobile server's one worker thread: it fetches the online route page for the
// requests that need it, one after another, and posts each distance back to the
// thread that made this object. It touches no shared query object and takes no lock.
class JavaRouteWorker : public QObject {
    Q_OBJECT
public:
    explicit JavaRouteWorker(QObject *parent = nullptr);
    ~JavaRouteWorker() override;  // ends what is under way and waiting, then the thread

    // Queues a fetch; its distance comes with `fetched` and the ticket returned here.
    quint64 fetch(RouteEngine::OnlineFetch fetch);
    // Ends the fetch under way and those waiting at once (each with 0 km).
    void cancelAll();

signals:
    void fetched(quint64 ticket, double kilometres);

private:
    struct Job {
        quint64 ticket;
        quint64 generation;
        RouteEngine::OnlineFetch fetch;
    };

    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    quint64 nextTicket_ = 0;
    std::atomic<quint64> generation_{0};  // a cancel starts a new one
    std::thread thread_;
};
