#include "web/framework/http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxEvents = 256;
constexpr int kSweepMs = 200;
// Out of descriptors with no waiting connection to close: how long accepting rests
// (the pending connections wait in the listen queue meanwhile).
constexpr std::chrono::milliseconds kAcceptPause{250};

int millisecondsLeft(HttpServer::Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - HttpServer::Clock::now());
    return int(std::max<std::chrono::milliseconds::rep>(0, left.count()));
}

// The value of a header field in a request head, case-insensitive; `count` how often it occurs.
std::string headerValue(const std::string &head, const char *name, int &count)
{
    std::string value;
    count = 0;
    const size_t nameLength = std::strlen(name);
    for (size_t line = head.find("\r\n"); line != std::string::npos && line + 2 < head.size();
         line = head.find("\r\n", line + 2)) {
        const size_t start = line + 2;
        if (head.size() - start > nameLength && head[start + nameLength] == ':'
            && strncasecmp(head.data() + start, name, nameLength) == 0) {
            const size_t end = head.find("\r\n", start);
            value = head.substr(start + nameLength + 1, end - start - nameLength - 1);
            value.erase(0, value.find_first_not_of(" \t"));
            value.erase(value.find_last_not_of(" \t") + 1);
            ++count;
        }
    }
    return value;
}

// What a request thread sees of a connection: the request already received, read
// from memory, and the socket to answer on.
class RequestStream : public httplib::Stream {
public:
    RequestStream(const std::string &data, int fd, std::string ip, int port, HttpServer::Clock::time_point writeDeadline)
        : data_(data), fd_(fd), ip_(std::move(ip)), port_(port), writeDeadline_(writeDeadline)
    {
    }

    size_t consumed() const { return position_; }
    bool failed() const { return failed_; }

    bool is_readable() const override { return position_ < data_.size(); }
    bool is_writable() const override
    {
        pollfd p{fd_, POLLOUT, 0};
        return !failed_ && ::poll(&p, 1, millisecondsLeft(writeDeadline_)) == 1 && (p.revents & POLLOUT);
    }
    ssize_t read(char *ptr, size_t size) override
    {
        const size_t n = std::min(size, data_.size() - position_);
        std::memcpy(ptr, data_.data() + position_, n);
        position_ += n;
        return ssize_t(n);
    }
    ssize_t write(const char *ptr, size_t size) override
    {
        size_t sent = 0;
        while (sent < size && !failed_) {
            const ssize_t n = ::send(fd_, ptr + sent, size - sent, MSG_NOSIGNAL);
            if (n > 0) {
                sent += size_t(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && is_writable())
                continue;
            failed_ = true;
        }
        return failed_ ? -1 : ssize_t(sent);
    }
    void get_remote_ip_and_port(std::string &ip, int &port) const override
    {
        ip = ip_;
        port = port_;
    }
    void get_local_ip_and_port(std::string &ip, int &port) const override
    {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        char text[INET6_ADDRSTRLEN] = {};
        port = 0;
        if (::getsockname(fd_, reinterpret_cast<sockaddr *>(&address), &length) == 0 && address.ss_family == AF_INET) {
            const auto *v4 = reinterpret_cast<const sockaddr_in *>(&address);
            ::inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
            port = ntohs(v4->sin_port);
        }
        ip = text;
    }
    // The library would wait on the socket itself (with select(), which cannot take
    // descriptors past 1024): this stream does all the waiting, so it shows none.
    socket_t socket() const override { return -1; }

private:
    const std::string &data_;
    const int fd_;
    const std::string ip_;
    const int port_;
    const HttpServer::Clock::time_point writeDeadline_;
    size_t position_ = 0;
    mutable bool failed_ = false;
};

}  // namespace

HttpServer::HttpServer(Limits limits) : limits_(limits)
{
    set_payload_max_length(limits_.maxBody);
}

HttpServer::~HttpServer()
{
    shutDown();
    for (int fd : {listen_, epoll_, wake_})
        if (fd >= 0)
            ::close(fd);
}

int HttpServer::bindAndListen(int port)
{
    listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listen_ < 0)
        return 0;
    const int yes = 1;
    ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(uint16_t(port));
    socklen_t length = sizeof address;
    if (port < 0 || port > 65535 || ::bind(listen_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
        || ::listen(listen_, limits_.backlog) != 0
        || ::getsockname(listen_, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return 0;
    epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
    wake_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (epoll_ < 0 || wake_ < 0)
        return 0;
    for (int fd : {listen_, wake_}) {
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.fd = fd;
        ::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event);
    }
    return ntohs(address.sin_port);
}

void HttpServer::run()
{
    serving_ = true;
    for (int i = 0; i < limits_.threads; ++i)
        workers_.emplace_back([this] { work(); });
    epoll_event events[kMaxEvents];
    while (!stopping_) {
        int timeout = kSweepMs;
        if (acceptPausedUntil_)
            timeout = std::min(timeout, millisecondsLeft(*acceptPausedUntil_));
        const int n = ::epoll_wait(epoll_, events, kMaxEvents, timeout);
        for (int i = 0; i < n; ++i) {
            const int fd = events[i].data.fd;
            if (fd == listen_) {
                acceptAll();
            } else if (fd == wake_) {
                uint64_t count;
                while (::read(wake_, &count, sizeof count) > 0) {
                }
                takeBack();
            } else {
                receive(fd);
            }
        }
        const Clock::time_point now = Clock::now();
        expire(now);
        resumeAcceptingWhenDue(now);
    }
    serving_ = false;
    {
        std::lock_guard guard(queueMutex_);
        queued_.notify_all();
    }
    for (std::thread &worker : workers_)
        worker.join();
    workers_.clear();
    takeBack();
    for (auto &entry : waiting_)
        ::close(entry.second->fd);
    waiting_.clear();
    ages_.clear();
    for (ConnectionPtr &connection : ready_)
        ::close(connection->fd);
    ready_.clear();
    // A stopped server leaves its port at once.
    ::close(listen_);
    listen_ = -1;
}

void HttpServer::shutDown()
{
    stopping_ = true;
    if (wake_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
    }
    while (serving_)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void HttpServer::acceptAll()
{
    const Clock::time_point round = Clock::now();
    bool dropped = false;  // out of descriptors: one waiting connection closed per new one
    for (;;) {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        const int fd = ::accept4(listen_, reinterpret_cast<sockaddr *>(&address), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return;
            if (errno == EINTR || errno == ECONNABORTED || errno == EPROTO || errno == EPERM)
                continue;  // this connection only
            // Out of descriptors (or kernel memory): the listener would report the waiting
            // connection again at once, and the loop would spin without end. A connection
            // that was waiting before this round makes room, if a new one is there at all
            // (the descriptor is sought before the queue is looked at).
            const int failure = errno;
            if ((failure == EMFILE || failure == ENFILE) && !dropped && connectPending() && dropOldestWaiting(round)) {
                dropped = true;
                continue;
            }
            if (!std::exchange(refusing_, true) && limits_.acceptingChanged)
                limits_.acceptingChanged(false, std::strerror(failure));
            pauseAccepting();
            return;
        }
        dropped = false;
        if (std::exchange(refusing_, false) && limits_.acceptingChanged)
            limits_.acceptingChanged(true, {});
        // Answers go out in more than one write: without this the last of them would wait
        // for the browser's delayed acknowledgement (40 ms) of the one before.
        const int yes = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        auto connection = std::make_unique<Connection>();
        connection->fd = fd;
        char text[INET6_ADDRSTRLEN] = {};
        if (address.ss_family == AF_INET) {
            const auto *v4 = reinterpret_cast<const sockaddr_in *>(&address);
            ::inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
            connection->port = ntohs(v4->sin_port);
        }
        connection->ip = text;
        // Over the address's limit a connection is closed at once: it costs nothing but its
        // accept. At the global limit the connection waiting longest for its request goes
        // instead, so that a client with a whole request always gets in.
        const auto known = perAddress_.find(connection->ip);
        const size_t fromAddress = known == perAddress_.end() ? 0 : known->second;
        const bool proxy = std::find(limits_.trustedProxies.begin(), limits_.trustedProxies.end(), connection->ip)
            != limits_.trustedProxies.end();
        if ((fromAddress >= limits_.maxPerAddress && !proxy)
            || (open_ >= limits_.maxConnections && !dropOldestWaiting(Clock::time_point::max()))) {
            ::close(fd);
            continue;
        }
        ++perAddress_[connection->ip];
        ++open_;
        connection->deadline = Clock::now() + limits_.requestTime;
        park(std::move(connection));
    }
}

void HttpServer::pauseAccepting()
{
    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, listen_, nullptr);
    acceptPausedUntil_ = Clock::now() + kAcceptPause;
}

void HttpServer::resumeAcceptingWhenDue(Clock::time_point now)
{
    if (!acceptPausedUntil_ || now < *acceptPausedUntil_)
        return;
    acceptPausedUntil_.reset();
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = listen_;
    ::epoll_ctl(epoll_, EPOLL_CTL_ADD, listen_, &event);
}

void HttpServer::park(ConnectionPtr connection)
{
    const int fd = connection->fd;
    epoll_event event{};
    event.events = EPOLLIN | EPOLLRDHUP;
    event.data.fd = fd;
    if (::epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &event) != 0)
        ::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event);
    ages_.insert({connection->served > 0, connection->deadline, fd});
    waiting_.emplace(fd, std::move(connection));
}

HttpServer::ConnectionPtr HttpServer::unpark(int fd)
{
    const auto it = waiting_.find(fd);
    if (it == waiting_.end())
        return nullptr;
    ConnectionPtr connection = std::move(it->second);
    waiting_.erase(it);
    ages_.erase({connection->served > 0, connection->deadline, fd});
    return connection;
}

const HttpServer::Age *HttpServer::oldestWaiting(bool keptAlive) const
{
    const auto first = ages_.lower_bound({keptAlive, Clock::time_point::min(), -1});
    return first != ages_.end() && first->keptAlive == keptAlive ? &*first : nullptr;
}

bool HttpServer::dropOldestWaiting(Clock::time_point before)
{
    for (const bool keptAlive : {false, true}) {
        if (const Age *first = oldestWaiting(keptAlive); first && first->deadline - limits_.requestTime < before) {
            close(unpark(first->fd));
            return true;
        }
    }
    return false;
}

bool HttpServer::connectPending() const
{
    pollfd listening{listen_, POLLIN, 0};
    return ::poll(&listening, 1, 0) == 1 && (listening.revents & POLLIN);
}

void HttpServer::receive(int fd)
{
    const auto it = waiting_.find(fd);
    if (it == waiting_.end())
        return;
    Connection &connection = *it->second;
    char buffer[16 * 1024];
    for (;;) {
        // Never more than a request may hold: the head, then exactly its body.
        const size_t room = limits_.maxHead + limits_.maxBody + 1 - std::min(connection.data.size(), limits_.maxHead + limits_.maxBody);
        const ssize_t n = ::recv(fd, buffer, std::min(sizeof buffer, room), 0);
        if (n > 0) {
            connection.data.append(buffer, size_t(n));
            if (connection.data.size() > limits_.maxHead + limits_.maxBody)
                break;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (n == 0 && !connection.data.empty()) {
            // Sent its request and closed its side: it still gets the answer.
            connection.ended = true;
            break;
        }
        close(unpark(fd));  // closed by the client, or an error
        return;
    }
    ConnectionPtr owned = unpark(fd);
    examine(owned);
}

HttpServer::Head HttpServer::checkHead(Connection &connection, size_t &requestSize)
{
    const std::string &data = connection.data;
    const size_t end = data.find("\r\n\r\n");
    if (end == std::string::npos) {
        if (data.size() > limits_.maxHead) {
            refuse(connection, "431 Request Header Fields Too Large");
            return Head::Refused;
        }
        return Head::Incomplete;
    }
    if (end + 4 > limits_.maxHead) {
        refuse(connection, "431 Request Header Fields Too Large");
        return Head::Refused;
    }
    const std::string head = data.substr(0, end + 2);
    int count = 0;
    headerValue(head, "Transfer-Encoding", count);
    // The pages post forms with their length; a body of unknown length cannot be
    // counted before it is held.
    if (count > 0) {
        refuse(connection, "411 Length Required");
        return Head::Refused;
    }
    const std::string length = headerValue(head, "Content-Length", count);
    size_t body = 0;
    if (count > 1 || (count == 1 && (length.empty() || length.find_first_not_of("0123456789") != std::string::npos))) {
        refuse(connection, "400 Bad Request");
        return Head::Refused;
    }
    if (count == 1) {
        if (length.size() > 9 || std::stoul(length) > limits_.maxBody) {
            refuse(connection, "413 Payload Too Large");
            return Head::Refused;
        }
        body = std::stoul(length);
    }
    requestSize = end + 4 + body;
    return data.size() >= requestSize ? Head::Complete : Head::Incomplete;
}

bool HttpServer::examine(ConnectionPtr &connection)
{
    size_t requestSize = 0;
    switch (checkHead(*connection, requestSize)) {
    case Head::Refused:
        close(std::move(connection));
        return false;
    case Head::Incomplete: {
        if (connection->ended) {
            close(std::move(connection));
            return false;
        }
        park(std::move(connection));
        return true;
    }
    case Head::Complete:
        break;
    }
    // A request thread owns the connection until the answer is out.
    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, connection->fd, nullptr);
    {
        std::lock_guard guard(queueMutex_);
        ready_.push_back(std::move(connection));
    }
    queued_.notify_one();
    return true;
}

void HttpServer::refuse(Connection &connection, const char *status)
{
    const std::string answer = std::string("HTTP/1.1 ") + status + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    [[maybe_unused]] const ssize_t sent = ::send(connection.fd, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

void HttpServer::close(ConnectionPtr connection)
{
    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, connection->fd, nullptr);
    ::close(connection->fd);
    const auto it = perAddress_.find(connection->ip);
    if (it != perAddress_.end() && --it->second == 0)
        perAddress_.erase(it);
    --open_;
}

void HttpServer::expire(Clock::time_point now)
{
    // Each kind of waiting connection in deadline order: the late ones come first.
    for (const bool keptAlive : {false, true})
        while (const Age *first = oldestWaiting(keptAlive)) {
            if (first->deadline > now)
                break;
            close(unpark(first->fd));
        }
}

void HttpServer::takeBack()
{
    std::vector<std::pair<ConnectionPtr, bool>> back;
    {
        std::lock_guard guard(queueMutex_);
        back.swap(back_);
    }
    for (auto &[connection, closing] : back) {
        if (closing || stopping_) {
            close(std::move(connection));
            continue;
        }
        connection->deadline = Clock::now() + limits_.requestTime;
        examine(connection);
    }
}

void HttpServer::work()
{
    for (;;) {
        ConnectionPtr connection;
        {
            std::unique_lock guard(queueMutex_);
            queued_.wait(guard, [this] { return !ready_.empty() || !serving_; });
            if (ready_.empty())
                return;
            connection = std::move(ready_.front());
            ready_.pop_front();
        }
        const bool keep = serve(*connection);
        {
            std::lock_guard guard(queueMutex_);
            back_.emplace_back(std::move(connection), !keep);
        }
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
    }
}

bool HttpServer::serve(Connection &connection)
{
    RequestStream stream(connection.data, connection.fd, connection.ip, connection.port,
                         Clock::now() + limits_.writeTime);
    const bool last = ++connection.served >= limits_.keepAliveRequests;
    bool closed = false;
    const bool answered = process_request(stream, last, closed, [](httplib::Request &) {});
    connection.data.erase(0, stream.consumed());
    return answered && !closed && !last && !stream.failed() && !connection.ended;
}
