#include "private_firebird_server.h"

#include "loopback_address.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QThread>

#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kvtest {

namespace {

const QString kInstalled = QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0");
const QString kSecurityDatabase = QStringLiteral("/var/lib/firebird/3.0/system/security3.fdb");

int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = LoopbackAddress(0);
    socklen_t length = sizeof address;
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0;
    ::close(fd);
    if (!bound)
        throw std::runtime_error("no free port for a Firebird server");
    return ntohs(address.sin_port);
}

bool listens(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = LoopbackAddress(port);
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

void writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path.toStdString());
    file.write(text.toUtf8());
}

}  // namespace

PrivateFirebirdServer::PrivateFirebirdServer() : dir_(QStringLiteral("kv-firebird")), port_(freePort())
{
    const QDir root(dir_.path());
    // The server finds its plugins and messages beside its configuration. The character
    // sets' module must be a file there: one reached through a link to another folder is
    // not loaded, and every WIN1251 connection would be refused.
    for (const char *name : {"UDF", "firebird.msg", "lib", "plugins", "plugins.conf", "fbtrace.conf"})
        QFile::link(kInstalled + u'/' + QLatin1String(name), root.filePath(QLatin1String(name)));
    root.mkpath(QStringLiteral("intl"));
    QFile::copy(kInstalled + QStringLiteral("/intl/libfbintl.so"), root.filePath(QStringLiteral("intl/libfbintl.so")));
    const QString security = root.filePath(QStringLiteral("security3.fdb"));
    if (!QFile::copy(kSecurityDatabase, security))
        throw std::runtime_error("cannot copy the security database (is Firebird installed and are we root?)");
    QFile::setPermissions(security, QFile::ReadOwner | QFile::WriteOwner);
    writeFile(root.filePath(QStringLiteral("firebird.conf")),
              QStringLiteral("RemoteServicePort = %1\nRemoteBindAddress = localhost\nSecurityDatabase = %2\n"
                             "UdfAccess = None\n")
                  .arg(port_)
                  .arg(security));
    writeFile(root.filePath(QStringLiteral("databases.conf")),
              QStringLiteral("security.db = %1\n{\n\tRemoteAccess = false\n}\n").arg(security));
    root.mkpath(QStringLiteral("lock"));
    root.mkpath(QStringLiteral("tmp"));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FIREBIRD"), root.path());
    environment.insert(QStringLiteral("FIREBIRD_LOCK"), root.filePath(QStringLiteral("lock")));
    environment.insert(QStringLiteral("FIREBIRD_TMP"), root.filePath(QStringLiteral("tmp")));
    process_.setProcessEnvironment(environment);
    process_.setProgram(QStringLiteral("/usr/sbin/firebird"));
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setStandardOutputFile(root.filePath(QStringLiteral("server.out")));
    start();
}

PrivateFirebirdServer::~PrivateFirebirdServer() { stop(); }

QString PrivateFirebirdServer::prefix() const { return QStringLiteral("localhost/%1:").arg(port_); }

void PrivateFirebirdServer::start()
{
    process_.start();
    if (!process_.waitForStarted(10000))
        throw std::runtime_error("/usr/sbin/firebird does not start: " + process_.errorString().toStdString());
    for (int i = 0; i < 200 && !listens(port_); ++i)
        QThread::msleep(100);
    if (!listens(port_))
        throw std::runtime_error("the private Firebird server does not listen");
}

void PrivateFirebirdServer::stop()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    // The server sometimes waits for its remote clients' threads far longer; past a
    // moment it is stopped as a power loss would stop it.
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

}  // namespace kvtest
