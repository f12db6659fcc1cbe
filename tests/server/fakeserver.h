#pragma once

#include <atomic>
#include <thread>

// A TCP port on the loopback that either never answers (the kernel still completes the
// handshake, as with a server hung or a network that drops replies) or answers every
// connection as a server without TLS does.
class FakeServer
{
public:
    enum class Kind { Silent, NoTls };

    explicit FakeServer(Kind kind);
    ~FakeServer();
    FakeServer(const FakeServer &) = delete;
    FakeServer &operator=(const FakeServer &) = delete;

    // 0 when no port could be had.
    int port() const { return m_port; }

private:
    void refuseTls();

    int m_socket = -1;
    int m_port = 0;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};
