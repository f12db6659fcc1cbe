#include "fakeserver.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

FakeServer::FakeServer(Kind kind)
{
    m_socket = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (m_socket < 0 || bind(m_socket, reinterpret_cast<sockaddr *>(&address), size) != 0 || listen(m_socket, 8) != 0
        || getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &size) != 0)
        return;
    m_port = ntohs(address.sin_port);
    if (kind == Kind::NoTls)
        m_thread = std::thread([this] { refuseTls(); });
}

FakeServer::~FakeServer()
{
    m_stop = true;
    shutdown(m_socket, SHUT_RDWR);
    if (m_thread.joinable())
        m_thread.join();
    close(m_socket);
}

void FakeServer::refuseTls()
{
    while (!m_stop) {
        const int client = accept(m_socket, nullptr, nullptr);
        if (client < 0)
            return;
        char request[8];
        if (recv(client, request, sizeof request, MSG_WAITALL) == sizeof request)
            send(client, "N", 1, MSG_NOSIGNAL);
        close(client);
    }
}
