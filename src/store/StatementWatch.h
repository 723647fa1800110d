#pragma once

// Every statement sent to a database server has a deadline kept by the
// program. A server that stops answering (a stopped backend, a network cut
// without a reset) holds the waiting call forever: neither the server's own
// timeouts nor a cancel request reach it. Past the deadline a watchdog
// thread shuts the connection's socket down from outside that call, which
// then returns with an error; the connection is reopened before the next
// statement, and a booking whose commit was cut off is looked up by its key.
namespace StatementWatch {

// The deadlines, in seconds: of a statement inside a booking, and of any
// other (lists, reports); 0 keeps no deadline. Defaults 20 and 120.
void setDeadlines(int bookingSeconds, int readSeconds);
int bookingSeconds();
int readSeconds();

// Watches one statement on socket (a no-op for -1) for as long as it lives.
class Guard {
public:
    Guard(int socket, bool inBooking);
    ~Guard();
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
    // The deadline passed and the connection was given up.
    bool fired() const;
    int seconds() const { return m_seconds; }

private:
    long long m_id = 0;
    int m_seconds = 0;
};

} // namespace StatementWatch
