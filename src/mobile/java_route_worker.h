#pragma once

#include "route/route_engine.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// The mobile server's route workers: kThreads threads fetch the online route page for
// the requests that need it, so that one page that never answers holds one of them and
// not every phone behind it, and post each distance back to the thread that made this
// object. They touch no shared query object and take no lock.
class JavaRouteWorker : public QObject {
    Q_OBJECT
public:
    static constexpr int kThreads = 4;

    explicit JavaRouteWorker(QObject *parent = nullptr);
    ~JavaRouteWorker() override;  // ends what is under way and waiting, then the threads

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
    std::vector<std::thread> threads_;
};
