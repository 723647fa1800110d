#include "store/BackgroundRead.h"

#include "store/Connection.h"
#include "store/Db.h"
#include "store/Dialect.h"

#include <QObject>
#include <QSqlDriver>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

// What the worker and the window's thread share, under a mutex of our own
// (so that a race detector sees every hand-over; Qt's own locks and queued
// signals it cannot see into).
struct BackgroundRead::State {
    mutable std::mutex mutex;
    mutable std::condition_variable finished;
    bool done = false;
    bool cancelled = false;
    Result<Rows> outcome = Rows{};
    // Stops the worker's statement; made by the worker once its connection
    // is open, dropped by it before the connection closes.
    std::unique_ptr<Dialect::Canceller> canceller;
};

namespace {

Result<BackgroundRead::Rows> readAll(const Db& db, const QString& sql, const QVariantList& params) {
    auto rows = db.select(sql, params);
    if (!rows)
        return Error{rows.error()};
    return rows.value().remaining();
}

// The worker: its own connection, the read, the connection closed, and
// then the outcome handed over.
void work(BackgroundRead::State& state, const ConnectionSpec& target, const QString& name,
          const QString& sql, const QVariantList& params) {
    Result<BackgroundRead::Rows> outcome = BackgroundRead::Rows{};
    Connection::Options options;
    options.createMissingFile = false;
    if (Status opened = Connection::open(target, name, options); !opened) {
        outcome = Error{opened.error()};
    } else {
        {
            const Db db(name);
            auto canceller = db.dialect().canceller(db.handle().driver()->handle());
            bool wanted = false;
            {
                std::lock_guard lock(state.mutex);
                wanted = !state.cancelled;
                if (wanted)
                    state.canceller = std::move(canceller);
            }
            outcome = wanted ? readAll(db, sql, params) : Error{QStringLiteral("已取消")};
        }
        std::unique_ptr<Dialect::Canceller> spent;
        {
            std::lock_guard lock(state.mutex);
            spent = std::move(state.canceller);
        }
    }
    Connection::close(name);
    // told under the lock: once the window's thread sees it done, the
    // worker no longer touches the state
    std::lock_guard lock(state.mutex);
    state.outcome = std::move(outcome);
    state.done = true;
    state.finished.notify_all();
}

std::atomic<quint64> readsStarted{0};

} // namespace

BackgroundRead::BackgroundRead() : m_state(std::make_unique<State>()) {}

std::unique_ptr<BackgroundRead> BackgroundRead::start(const QString& connectionName,
                                                      const QString& sql,
                                                      const QVariantList& params, QObject* receiver,
                                                      std::function<void()> done) {
    std::unique_ptr<BackgroundRead> read(new BackgroundRead);
    read->m_done = std::make_shared<std::function<void()>>(std::move(done));
    // the receiver is told on its own thread, and not once it is gone (Qt
    // drops what was queued for it) nor once the read is gone or silenced
    auto tell = [done = std::weak_ptr(read->m_done)] {
        if (const auto wanted = done.lock())
            (*wanted)();
    };
    const std::optional<ConnectionSpec> target = Connection::targetOf(connectionName);
    if (!target) {
        read->m_state->outcome = readAll(Db(connectionName), sql, params);
        read->m_state->done = true;
        QMetaObject::invokeMethod(receiver, tell, Qt::QueuedConnection);
        return read;
    }
    const QString name = QStringLiteral("%1.background.%2").arg(connectionName).arg(++readsStarted);
    // the state outlives the worker: the read's destruction waits for it
    State* state = read->m_state.get();
    read->m_thread.reset(QThread::create(
        [state, target = *target, name, sql, params] { work(*state, target, name, sql, params); }));
    QObject::connect(read->m_thread.get(), &QThread::finished, receiver, tell,
                     Qt::QueuedConnection);
    read->m_thread->start();
    return read;
}

void BackgroundRead::cancel() {
    std::lock_guard lock(m_state->mutex);
    m_state->cancelled = true;
    if (m_state->canceller)
        m_state->canceller->cancel();
}

void BackgroundRead::silence() {
    m_done.reset();
}

BackgroundRead::~BackgroundRead() {
    silence();
    if (m_thread) {
        cancel();
        // once the outcome is handed over the worker's connection is
        // closed; then the thread itself is let end
        (void)result();
        m_thread->wait();
    }
}

bool BackgroundRead::isFinished() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->done;
}

Result<BackgroundRead::Rows> BackgroundRead::result() const {
    std::unique_lock lock(m_state->mutex);
    while (!m_state->done) {
        // a stop that came while the statement was being sent is sent again
        if (m_state->cancelled && m_state->canceller)
            m_state->canceller->cancel();
        m_state->finished.wait_for(lock, std::chrono::milliseconds(100));
    }
    return m_state->outcome;
}
