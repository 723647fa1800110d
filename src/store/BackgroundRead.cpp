#include "store/BackgroundRead.h"

#include "store/Connection.h"
#include "store/Db.h"

#include <QAtomicInteger>
#include <QMutex>
#include <QSqlDatabase>
#include <QSqlRecord>
#include <QThread>
#include <QWaitCondition>

struct BackgroundRead::State {
    mutable QMutex mutex;
    mutable QWaitCondition finished;
    bool done = false;
    Result<Rows> outcome = Rows{};
    QThread* thread = nullptr;
};

namespace {

Result<BackgroundRead::Rows> readAll(const Db& db, const QString& sql, const QVariantList& params) {
    auto rows = db.select(sql, params);
    if (!rows)
        return Error{rows.error()};
    QSqlQuery& q = rows.value().query();
    const int width = q.record().count();
    BackgroundRead::Rows values;
    while (q.next()) {
        QVariantList row;
        row.reserve(width);
        for (int c = 0; c < width; ++c)
            row << q.value(c);
        values << row;
    }
    return values;
}

// Where the named connection leads, for a second connection to it.
std::optional<ConnectionSpec> targetOf(const QString& name) {
    const QSqlDatabase db = QSqlDatabase::database(name, false);
    if (!db.isValid() || !db.isOpen())
        return std::nullopt;
    ConnectionSpec target;
    if (db.driverName() == QStringLiteral("QSQLITE")) {
        const QString file = db.databaseName();
        if (file.isEmpty() || file == QStringLiteral(":memory:") || file.startsWith(u"file:"))
            return std::nullopt;
        target.engine = Engine::Sqlite;
        target.file = file;
        return target;
    }
    if (db.driverName() == QStringLiteral("QPSQL")) {
        target.engine = Engine::Postgres;
        target.host = db.hostName();
        target.port = db.port() > 0 ? db.port() : 5432;
        target.database = db.databaseName();
        target.user = db.userName();
        target.password = db.password();
        return target;
    }
    return std::nullopt;
}

QAtomicInteger<quint64> readsStarted;

} // namespace

std::shared_ptr<BackgroundRead> BackgroundRead::start(const QString& connectionName,
                                                      const QString& sql,
                                                      const QVariantList& params, QObject* receiver,
                                                      std::function<void()> done) {
    auto state = std::make_shared<State>();
    const std::optional<ConnectionSpec> target = targetOf(connectionName);
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
            if (Status opened = Connection::open(target, name, options); !opened)
                outcome = Error{opened.error()};
            else
                outcome = readAll(Db(name), sql, params);
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

BackgroundRead::~BackgroundRead() {
    // the worker's connection is closed before the read is let go
    if (m_state->thread) {
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
    while (!m_state->done)
        m_state->finished.wait(&m_state->mutex);
    return m_state->outcome;
}
