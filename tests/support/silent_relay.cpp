#include "silent_relay.h"

#include "loopback_address.h"

#include <stdexcept>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kvtest {

SilentRelay::SilentRelay(int targetPort) : targetPort_(targetPort)
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address = LoopbackAddress(0);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
        || ::listen(listener_, 64) != 0
        || ::getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length) != 0
        || ::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("the relay cannot listen");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

SilentRelay::~SilentRelay()
{
    stopping_ = true;
    (void)!::write(wake_[1], "x", 1);
    thread_.join();
    for (Link &link : links_)
        closeLink(link);
    ::close(listener_);
    ::close(wake_[0]);
    ::close(wake_[1]);
}

QString SilentRelay::prefix() const { return QStringLiteral("localhost/%1:").arg(port_); }

void SilentRelay::silence()
{
    std::lock_guard lock(mutex_);
    silent_ = true;
    for (Link &link : links_)
        link.dead = true;
}

void SilentRelay::heal() { silent_ = false; }

void SilentRelay::closeLink(Link &link)
{
    if (link.client >= 0)
        ::close(link.client);
    if (link.server >= 0)
        ::close(link.server);
    link.client = link.server = -1;
}

void SilentRelay::accept()
{
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0)
        return;
    std::lock_guard lock(mutex_);
    if (silent_) {
        // Accepted, and never answered.
        links_.push_back({client, -1, true});
        return;
    }
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = LoopbackAddress(targetPort_);
    if (::connect(server, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        ::close(server);
        ::close(client);
        return;
    }
    links_.push_back({client, server, false});
}

bool SilentRelay::pass(int from, int to)
{
    char buffer[64 * 1024];
    const ssize_t got = ::recv(from, buffer, sizeof buffer, MSG_DONTWAIT);
    if (got <= 0)
        return got < 0 && errno == EAGAIN;
    for (ssize_t sent = 0; sent < got;) {
        const ssize_t n = ::send(to, buffer + sent, size_t(got - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

void SilentRelay::run()
{
    while (!stopping_) {
        std::vector<pollfd> fds{{wake_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
        std::vector<std::pair<size_t, bool>> owners;  // link index, whether the client side
        {
            std::lock_guard lock(mutex_);
            for (size_t i = 0; i < links_.size(); ++i) {
                // A dead link is never read: what is sent into it goes nowhere.
                if (links_[i].dead || links_[i].server < 0)
                    continue;
                fds.push_back({links_[i].client, POLLIN, 0});
                owners.emplace_back(i, true);
                fds.push_back({links_[i].server, POLLIN, 0});
                owners.emplace_back(i, false);
            }
        }
        if (::poll(fds.data(), nfds_t(fds.size()), 200) <= 0)
            continue;
        if (fds[1].revents & POLLIN)
            accept();
        std::lock_guard lock(mutex_);
        for (size_t k = 2; k < fds.size(); ++k) {
            if (!(fds[k].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            Link &link = links_[owners[k - 2].first];
            if (link.dead || link.client < 0)
                continue;
            const bool fromClient = owners[k - 2].second;
            if (!pass(fromClient ? link.client : link.server, fromClient ? link.server : link.client))
                closeLink(link);
        }
    }
}

}  // namespace kvtest
