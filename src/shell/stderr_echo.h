#pragma once

#include <QByteArray>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// Every log line on stderr for the journal, in the order the lines were logged, written
// by a thread of its own: a journal pipe that stalls must not stop the threads that log
// (they hold a log's lock while they hand a line over). At most kMaxQueued bytes wait;
// lines past that are counted, and the count is written once the pipe takes lines again.
class StderrEcho {
public:
    static constexpr qsizetype kMaxQueued = 4 * 1024 * 1024;

    explicit StderrEcho(int descriptor = 2);
    ~StderrEcho();  // writes what waits, then stops
    StderrEcho(const StderrEcho &) = delete;
    StderrEcho &operator=(const StderrEcho &) = delete;

    // Never waits for the pipe.
    void write(QByteArray line);

private:
    void run();

    const int descriptor_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<QByteArray> lines_;
    qsizetype queued_ = 0;
    qint64 dropped_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};
