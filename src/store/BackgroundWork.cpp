#include "store/BackgroundWork.h"

#include "store/Connection.h"

#include <QAtomicInteger>
#include <QEventLoop>
#include <QMutex>
#include <QThread>

struct BackgroundWork::State {
    mutable QMutex mutex;
    bool done = false;
    Status outcome;
    QThread* thread = nullptr;
};

namespace {
QAtomicInteger<quint64> jobsStarted;
} // namespace

BackgroundWork::BackgroundWork(const QString& connectionName, Job job, QObject* parent)
    : QObject(parent), m_connection(connectionName), m_job(std::move(job)),
      m_state(std::make_shared<State>()) {}

BackgroundWork::~BackgroundWork() {
    if (m_state->thread) {
        m_state->thread->wait();
        delete m_state->thread;
    }
}

void BackgroundWork::start() {
    if (m_state->thread || isFinished())
        return;
    const std::optional<ConnectionSpec> target = Connection::targetOf(m_connection);
    // the destructor waits for the worker, so this outlives every report
    auto report = [this](int done, int total) {
        QMetaObject::invokeMethod(
            this, [this, done, total] { Q_EMIT progressed(done, total); }, Qt::QueuedConnection);
    };
    auto finish = [this] {
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT finished(); }, Qt::QueuedConnection);
    };
    if (!target) {
        const Status outcome = m_job(Db(m_connection), report);
        QMutexLocker lock(&m_state->mutex);
        m_state->outcome = outcome;
        m_state->done = true;
        finish();
        return;
    }
    const QString name = QStringLiteral("%1.work.%2").arg(m_connection).arg(++jobsStarted);
    m_state->thread =
        QThread::create([state = m_state, target = *target, name, job = m_job, report, finish] {
            Status outcome;
            Connection::Options options;
            options.createMissingFile = false;
            if (Status opened = Connection::open(target, name, options); !opened)
                outcome = opened;
            else
                outcome = job(Db(name), report);
            Connection::close(name);
            {
                QMutexLocker lock(&state->mutex);
                state->outcome = outcome;
                state->done = true;
            }
            finish();
        });
    m_state->thread->start();
}

bool BackgroundWork::isFinished() const {
    QMutexLocker lock(&m_state->mutex);
    return m_state->done;
}

Status BackgroundWork::result() const {
    QMutexLocker lock(&m_state->mutex);
    return m_state->outcome;
}

Status BackgroundWork::run() {
    QEventLoop loop;
    connect(this, &BackgroundWork::finished, &loop, &QEventLoop::quit);
    start();
    if (!isFinished())
        loop.exec();
    if (m_state->thread)
        m_state->thread->wait();
    return result();
}
