#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A TCP relay on 127.0.0.1 between the program and a PostgreSQL server
// (plain, no TLS), that can cut a connection at the moment a COMMIT is on
// its way: before it reaches the server (the booking was never made) or
// after the server answered it (the booking stands, the answer is lost),
// and can refuse new connections (the server is still away).
class CuttingProxy {
public:
    enum class Cut { Never, BeforeCommit, AfterCommitAnswer };
    explicit CuttingProxy(int serverPort);
    ~CuttingProxy();

    int port() const { return m_port; }
    void setCut(Cut cut) { m_cut = cut; }
    void setRefusing(bool refusing) { m_refusing = refusing; }
    // Once a connection is cut, new ones are refused (until setRefusing(false)).
    void setRefuseAfterCut(bool refuse) { m_refuseAfterCut = refuse; }
    // Connections cut so far.
    int cuts() const { return m_cuts; }

private:
    void acceptLoop();
    void relay(int client);
    int m_serverPort;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<Cut> m_cut{Cut::Never};
    std::atomic<bool> m_refusing{false};
    std::atomic<bool> m_refuseAfterCut{false};
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_cuts{0};
    std::thread m_acceptor;
    std::mutex m_mutex;
    std::vector<std::thread> m_relays;
};
