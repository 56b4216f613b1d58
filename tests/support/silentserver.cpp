#include "support/silentserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

SilentServer::SilentServer()
{
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    // Connections wait in the backlog: the kernel completes them, nobody
    // ever accepts or answers.
    if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 && ::listen(m_fd, 4) == 0 &&
        ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&a), &len) == 0)
        m_port = ntohs(a.sin_port);
}

SilentServer::~SilentServer()
{
    if (m_fd >= 0)
        ::close(m_fd);
}
