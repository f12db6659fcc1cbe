#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// A TCP port on the loopback that never answers: the kernel still completes the handshake, as
// with a server hung or a network that drops replies.
class FakeServer
{
public:
    enum class Kind { Silent };

    explicit FakeServer(Kind)
        : m_socket(socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        const auto name = reinterpret_cast<sockaddr *>(&address);
        if (m_socket >= 0 && bind(m_socket, name, size) == 0 && listen(m_socket, 8) == 0
            && getsockname(m_socket, name, &size) == 0)
            m_port = ntohs(address.sin_port);
    }
    ~FakeServer() { close(m_socket); }
    FakeServer(const FakeServer &) = delete;
    FakeServer &operator=(const FakeServer &) = delete;

    // 0 when no port could be had.
    int port() const { return m_port; }

private:
    int m_socket;
    int m_port = 0;
};
