#pragma once

#include "store/Db.h"
#include "store/Result.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// Long work on the database (deleting a table of years of records) that
// runs on a worker thread over a connection of its own to the same
// database as a named connection, so that the window that started it keeps
// painting and can show how far it got. The job reports its progress as
// (done, total); the report reaches the window's thread as progressed().
// When the connection cannot be shared with a worker (a database in
// memory) the job runs at once on the named connection instead.
class BackgroundWork : public QObject {
    Q_OBJECT
public:
    using Progress = std::function<void(int done, int total)>;
    using Job = std::function<Status(const Db& db, const Progress& progress)>;

    BackgroundWork(const QString& connectionName, Job job, QObject* parent = nullptr);
    ~BackgroundWork() override; // waits for the worker

    // Starts the job; finished() follows on this object's thread.
    void start();
    bool isFinished() const;
    // The job's outcome, once finished.
    Status result() const;
    // Starts the job and runs the caller's events until it is finished.
    Status run();

Q_SIGNALS:
    void progressed(int done, int total);
    void finished();

private:
    struct State;
    QString m_connection;
    Job m_job;
    std::shared_ptr<State> m_state;
};
