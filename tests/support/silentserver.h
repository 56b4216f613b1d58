#pragma once

// A loopback port that accepts connections and never says a word, as a hung
// server. The system picks the port; port() is 0 when it could not listen.
class SilentServer
{
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer &) = delete;
    SilentServer &operator=(const SilentServer &) = delete;

    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};
