#include "shell/stderr_echo.h"

#include <QString>

#include <cerrno>

#include <unistd.h>

namespace {

void writeAll(int descriptor, const QByteArray &bytes)
{
    for (qsizetype at = 0; at < bytes.size();) {
        const ssize_t written = ::write(descriptor, bytes.constData() + at, size_t(bytes.size() - at));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;  // nobody reads stderr any more: the lines are in the logs all the same
        at += written;
    }
}

}  // namespace

StderrEcho::StderrEcho(int descriptor) : descriptor_(descriptor), thread_([this] { run(); }) {}

StderrEcho::~StderrEcho()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void StderrEcho::write(QByteArray line)
{
    {
        std::lock_guard lock(mutex_);
        if (queued_ + line.size() > kMaxQueued) {
            ++dropped_;
            return;
        }
        queued_ += line.size();
        lines_.push_back(std::move(line));
    }
    wake_.notify_one();
}

void StderrEcho::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !lines_.empty() || dropped_ > 0; });
        if (lines_.empty() && dropped_ == 0)
            return;  // stopping, and everything is written
        QByteArray next;
        if (!lines_.empty()) {
            next = std::move(lines_.front());
            lines_.pop_front();
            queued_ -= next.size();
        } else {
            // The pipe takes lines again: say how many it missed.
            next = QStringLiteral("(рядків журналу не виведено через переповнення: %1)\n").arg(dropped_).toUtf8();
            dropped_ = 0;
        }
        lock.unlock();
        writeAll(descriptor_, next);
        lock.lock();
    }
}
