#include "store/BackgroundRead.h"

#include "store/Connection.h"
#include "store/Db.h"

#include <QAtomicInteger>
#include <QDeadlineTimer>
#include <QMutex>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlRecord>
#include <QThread>
#include <QWaitCondition>

#include <libpq-fe.h>
#include <sqlite3.h>

struct BackgroundRead::State {
    mutable QMutex mutex;
    mutable QWaitCondition finished;
    bool done = false;
    bool cancelled = false;
    Result<Rows> outcome = Rows{};
    QThread* thread = nullptr;
    // the worker's engine handle while its statement may run (under mutex)
    QVariant handle;
};

namespace {

// Stops the statement running on an engine handle from another thread.
void interrupt(const QVariant& handle) {
    const QByteArray type = handle.typeName();
    if (type == "sqlite3*") {
        if (auto* db = *static_cast<sqlite3* const*>(handle.constData()))
            sqlite3_interrupt(db);
    } else if (type == "PGconn*" || type == "pg_conn*") {
        if (auto* conn = *static_cast<PGconn* const*>(handle.constData())) {
            if (PGcancel* cancel = PQgetCancel(conn)) {
                char reason[256];
                PQcancel(cancel, reason, sizeof reason);
                PQfreeCancel(cancel);
            }
        }
    }
}

Result<BackgroundRead::Rows> readAll(const Db& db, const QString& sql, const QVariantList& params) {
    auto rows = db.select(sql, params);
    if (!rows)
        return Error{rows.error()};
    return rows.value().remaining();
}

QAtomicInteger<quint64> readsStarted;

} // namespace

std::shared_ptr<BackgroundRead> BackgroundRead::start(const QString& connectionName,
                                                      const QString& sql,
                                                      const QVariantList& params, QObject* receiver,
                                                      std::function<void()> done) {
    auto state = std::make_shared<State>();
    const std::optional<ConnectionSpec> target = Connection::targetOf(connectionName);
    if (!target) {
        state->outcome = readAll(Db(connectionName), sql, params);
        state->done = true;
        QMetaObject::invokeMethod(receiver, std::move(done), Qt::QueuedConnection);
        return std::shared_ptr<BackgroundRead>(new BackgroundRead(state));
    }
    const QString name = QStringLiteral("%1.background.%2").arg(connectionName).arg(++readsStarted);
    state->thread = QThread::create(
        [state, target = *target, name, sql, params, receiver, done = std::move(done)] {
            Result<Rows> outcome = Rows{};
            Connection::Options options;
            options.createMissingFile = false;
            if (Status opened = Connection::open(target, name, options); !opened) {
                outcome = Error{opened.error()};
            } else {
                {
                    QMutexLocker lock(&state->mutex);
                    if (!state->cancelled)
                        state->handle = QSqlDatabase::database(name, false).driver()->handle();
                }
                if (state->handle.isValid())
                    outcome = readAll(Db(name), sql, params);
                else
                    outcome = Error{QStringLiteral("已取消")};
                QMutexLocker lock(&state->mutex);
                state->handle.clear();
            }
            Connection::close(name);
            QMutexLocker lock(&state->mutex);
            state->outcome = std::move(outcome);
            state->done = true;
            state->finished.wakeAll();
            QMetaObject::invokeMethod(receiver, done, Qt::QueuedConnection);
        });
    state->thread->start();
    return std::shared_ptr<BackgroundRead>(new BackgroundRead(state));
}

void BackgroundRead::cancel() {
    QMutexLocker lock(&m_state->mutex);
    m_state->cancelled = true;
    if (m_state->handle.isValid())
        interrupt(m_state->handle);
}

BackgroundRead::~BackgroundRead() {
    // the worker's connection is closed before the read is let go
    if (m_state->thread) {
        (void)result();
        m_state->thread->wait();
        delete m_state->thread;
    }
}

bool BackgroundRead::isFinished() const {
    QMutexLocker lock(&m_state->mutex);
    return m_state->done;
}

Result<BackgroundRead::Rows> BackgroundRead::result() const {
    QMutexLocker lock(&m_state->mutex);
    while (!m_state->done) {
        // a stop that came while the statement was being sent is sent again
        if (m_state->cancelled && m_state->handle.isValid())
            interrupt(m_state->handle);
        m_state->finished.wait(&m_state->mutex, QDeadlineTimer(100));
    }
    return m_state->outcome;
}
