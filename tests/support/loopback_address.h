#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>

namespace kvtest {

// 127.0.0.1 with a port, for the sockets of the test servers and relays.
inline sockaddr_in LoopbackAddress(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<in_port_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

}  // namespace kvtest
