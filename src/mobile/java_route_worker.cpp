#include "mobile/java_route_worker.h"

JavaRouteWorker::JavaRouteWorker(QObject *parent) : QObject(parent)
{
    for (int i = 0; i < kThreads; ++i)
        threads_.emplace_back([this] { run(); });
}

JavaRouteWorker::~JavaRouteWorker()
{
    {
        std::lock_guard guard(mutex_);
        stopping_ = true;
    }
    cancelAll();
    wake_.notify_all();
    for (std::thread &thread : threads_)
        thread.join();
}

quint64 JavaRouteWorker::fetch(RouteEngine::OnlineFetch fetch)
{
    std::lock_guard guard(mutex_);
    const quint64 ticket = ++nextTicket_;
    jobs_.push_back({ticket, generation_.load(), std::move(fetch)});
    wake_.notify_one();
    return ticket;
}

void JavaRouteWorker::cancelAll()
{
    ++generation_;
    wake_.notify_all();
}

void JavaRouteWorker::run()
{
    for (;;) {
        Job job;
        {
            std::unique_lock guard(mutex_);
            wake_.wait(guard, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty())
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        const auto cancelled = [this, generation = job.generation] { return generation_.load() != generation; };
        const double kilometres = cancelled() ? 0.0 : job.fetch(cancelled);
        QMetaObject::invokeMethod(
            this, [this, ticket = job.ticket, kilometres] { emit fetched(ticket, kilometres); }, Qt::QueuedConnection);
    }
}
