#include "shell/process_signals.h"

#include <csignal>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int writeEnd = -1;

void onSignal(int number)
{
    const char byte = char(number);
    [[maybe_unused]] const auto written = ::write(writeEnd, &byte, 1);
}

void handle(int number, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(number, &action, nullptr);
}

}  // namespace

ProcessSignals::ProcessSignals(bool reloadOnHangUp, QObject *parent)
    : QObject(parent), reloadOnHangUp_(reloadOnHangUp)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets_) != 0)
        throw std::runtime_error("socketpair failed");
    writeEnd = sockets_[1];
    notifier_ = std::make_unique<QSocketNotifier>(sockets_[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &ProcessSignals::readSignal);
}

ProcessSignals::~ProcessSignals()
{
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        handle(number, SIG_DFL);
    notifier_.reset();
    writeEnd = -1;
    ::close(sockets_[0]);
    ::close(sockets_[1]);
}

void ProcessSignals::catchSignals()
{
    handle(SIGINT, onSignal);
    handle(SIGTERM, onSignal);
    if (reloadOnHangUp_)
        handle(SIGHUP, onSignal);
}

void ProcessSignals::readSignal()
{
    char byte = 0;
    if (::read(sockets_[0], &byte, 1) != 1)
        return;
    if (byte == SIGHUP)
        emit reloadRequested();
    else
        emit stopRequested();
}
