#include "store/StatementWatch.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include <sys/socket.h>

namespace StatementWatch {

namespace {

std::atomic<int> bookingDeadline{20};
std::atomic<int> readDeadline{120};

using Clock = std::chrono::steady_clock;

struct Watched {
    int socket;
    Clock::time_point deadline;
    bool fired = false;
};

// The one thread that watches every statement of every connection: a
// statement registers with its deadline and leaves when it returns.
class Watchdog {
public:
    ~Watchdog() {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

    long long watch(int socket, int seconds) {
        std::lock_guard lock(m_mutex);
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
        const long long id = ++m_lastId;
        m_watched.emplace(id, Watched{socket, Clock::now() + std::chrono::seconds(seconds)});
        m_wake.notify_all();
        return id;
    }

    bool leave(long long id) {
        std::lock_guard lock(m_mutex);
        auto it = m_watched.find(id);
        if (it == m_watched.end())
            return false;
        const bool fired = it->second.fired;
        m_watched.erase(it);
        return fired;
    }

    bool fired(long long id) {
        std::lock_guard lock(m_mutex);
        auto it = m_watched.find(id);
        return it != m_watched.end() && it->second.fired;
    }

private:
    void run() {
        std::unique_lock lock(m_mutex);
        while (!m_stopping) {
            auto next = Clock::time_point::max();
            const auto now = Clock::now();
            for (auto& [id, watched] : m_watched) {
                if (watched.fired)
                    continue;
                if (watched.deadline <= now) {
                    // the waiting call returns at once with an error
                    ::shutdown(watched.socket, SHUT_RDWR);
                    watched.fired = true;
                } else if (watched.deadline < next) {
                    next = watched.deadline;
                }
            }
            if (next == Clock::time_point::max())
                m_wake.wait(lock);
            else
                m_wake.wait_until(lock, next);
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::map<long long, Watched> m_watched;
    long long m_lastId = 0;
    bool m_stopping = false;
    std::thread m_thread;
};

Watchdog& watchdog() {
    static Watchdog instance;
    return instance;
}

} // namespace

void setDeadlines(int booking, int read) {
    bookingDeadline = booking;
    readDeadline = read;
}

int bookingSeconds() {
    return bookingDeadline;
}

int readSeconds() {
    return readDeadline;
}

Guard::Guard(int socket, bool inBooking)
    : m_seconds(inBooking ? bookingDeadline.load() : readDeadline.load()) {
    if (socket >= 0 && m_seconds > 0)
        m_id = watchdog().watch(socket, m_seconds);
}

Guard::~Guard() {
    if (m_id)
        watchdog().leave(m_id);
}

bool Guard::fired() const {
    return m_id && watchdog().fired(m_id);
}

} // namespace StatementWatch
