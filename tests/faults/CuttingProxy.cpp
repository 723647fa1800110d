#include "CuttingProxy.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The simple-query message of COMMIT and the server's CommandComplete for it
// both carry the text "COMMIT" ended by NUL.
bool holdsCommit(const std::string& seen) {
    return seen.find(std::string("COMMIT\0", 7)) != std::string::npos;
}

} // namespace

CuttingProxy::CuttingProxy(int serverPort) : m_serverPort(serverPort) {
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(m_listener, 16);
    socklen_t length = sizeof address;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { acceptLoop(); });
}

CuttingProxy::~CuttingProxy() {
    m_stopping = true;
    ::shutdown(m_listener, SHUT_RDWR);
    ::close(m_listener);
    m_acceptor.join();
    std::lock_guard lock(m_mutex);
    for (std::thread& relay : m_relays)
        relay.join();
}

void CuttingProxy::acceptLoop() {
    while (!m_stopping) {
        pollfd waiting{m_listener, POLLIN, 0};
        if (::poll(&waiting, 1, 100) <= 0)
            continue;
        const int client = ::accept(m_listener, nullptr, nullptr);
        if (client < 0)
            continue;
        if (m_refusing) {
            ::close(client);
            continue;
        }
        std::lock_guard lock(m_mutex);
        m_relays.emplace_back([this, client] { relay(client); });
    }
}

void CuttingProxy::relay(int client) {
    const int server = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(std::uint16_t(m_serverPort));
    if (::connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(client);
        ::close(server);
        return;
    }
    char buffer[65536];
    bool open = true;
    while (open && !m_stopping) {
        pollfd both[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
        if (::poll(both, 2, 100) <= 0)
            continue;
        for (int side = 0; side < 2 && open; ++side) {
            if (!(both[side].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const int from = both[side].fd, to = side == 0 ? server : client;
            const ssize_t got = ::read(from, buffer, sizeof buffer);
            if (got <= 0) {
                open = false;
                break;
            }
            const std::string seen(buffer, std::size_t(got));
            const Cut cut = m_cut;
            const bool toServer = side == 0;
            if (holdsCommit(seen) && ((toServer && cut == Cut::BeforeCommit) ||
                                      (!toServer && cut == Cut::AfterCommitAnswer))) {
                ++m_cuts;
                m_cut = Cut::Never;
                if (m_refuseAfterCut)
                    m_refusing = true;
                open = false;
                break;
            }
            if (::write(to, buffer, std::size_t(got)) != got)
                open = false;
        }
    }
    ::shutdown(client, SHUT_RDWR);
    ::shutdown(server, SHUT_RDWR);
    ::close(client);
    ::close(server);
}
