#include "mobile/java_listener.h"

#include <QSocketNotifier>
#include <QTcpSocket>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

JavaListener::JavaListener(QObject *parent) : QObject(parent)
{
    retry_.setSingleShot(true);
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, [this] {
        if (notifier_)
            notifier_->setEnabled(true);
    });
}

JavaListener::~JavaListener() { close(); }

bool JavaListener::listen(quint16 port, int backlog)
{
    close();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(port);
    const int yes = 1;
    if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0
        || ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
        || ::listen(fd, backlog) != 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    fd_ = fd;
    error_.clear();
    failing_ = false;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &JavaListener::acceptAll);
    return true;
}

void JavaListener::close()
{
    retry_.stop();
    notifier_.reset();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    for (QTcpSocket *socket : pending_)
        delete socket;
    pending_.clear();
}

quint16 JavaListener::serverPort() const
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (fd_ < 0 || ::getsockname(fd_, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

QTcpSocket *JavaListener::nextPendingConnection()
{
    if (pending_.empty())
        return nullptr;
    QTcpSocket *socket = pending_.front();
    pending_.pop_front();
    return socket;
}

void JavaListener::acceptAll()
{
    bool accepted = false;
    for (;;) {
        const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            auto *socket = new QTcpSocket(this);
            if (!socket->setSocketDescriptor(fd)) {
                delete socket;
                ::close(fd);
                continue;
            }
            pending_.push_back(socket);
            accepted = true;
            if (std::exchange(failing_, false))
                emit acceptingAgain();
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            break;
        if (errno == EINTR || errno == ECONNABORTED || errno == EPROTO || errno == EPERM)
            continue;  // this connection only
        // Out of descriptors or memory: the connects wait in the listen queue meanwhile.
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        notifier_->setEnabled(false);
        retry_.start();
        if (!std::exchange(failing_, true))
            emit stoppedAccepting(reason);
        break;
    }
    if (accepted)
        emit newConnection();
}
