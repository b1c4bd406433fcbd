#include "mobile/mobile_server.h"

#include "shell/service_context.h"

MobileServer::MobileServer(ServiceContext &context, QObject *parent)
    : QObject(parent), context_(context)
{
    connect(&server_, &QTcpServer::newConnection, this, &MobileServer::acceptPending);
}

void MobileServer::resetTable(int size) { tableSize_ = size; }

bool MobileServer::activate(quint16 port)
{
    deactivate();
    return server_.listen(QHostAddress::Any, port);
}

void MobileServer::deactivate()
{
    if (server_.isListening())
        server_.close();
}

void MobileServer::closeAllConnections()
{
    const QList<QTcpSocket *> open = connections_;
    for (QTcpSocket *socket : open)
        socket->close();
}

void MobileServer::acceptPending()
{
    while (QTcpSocket *socket = server_.nextPendingConnection()) {
        connections_.append(socket);
        context_.accounts.addScan(context_.running());
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            connections_.removeOne(socket);
            socket->deleteLater();
        });
    }
}
