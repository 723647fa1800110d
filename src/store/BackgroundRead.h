#pragma once

#include "store/Result.h"

#include <QList>
#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>

class QObject;
class QThread;

// A read that runs on a worker thread over a connection of its own to the
// same database as a named connection, so that the window that asked stays
// responsive while a million rows are summed. The named connection is left
// alone: it stays usable for bookings meanwhile. Each read opens and closes
// its own connection on its worker, so nothing of it is left once it is
// finished.
class BackgroundRead {
public:
    using Rows = QList<QVariantList>;

    // Starts reading the rows of sql with params; once they are there (the
    // worker's connection closed), done runs on receiver's thread, unless
    // the receiver or the read is gone by then or the read was silenced.
    // When the connection cannot be shared with a worker (a database in
    // memory) the read runs at once on the named connection instead, and
    // done still comes later.
    static std::unique_ptr<BackgroundRead> start(const QString& connectionName, const QString& sql,
                                                 const QVariantList& params, QObject* receiver,
                                                 std::function<void()> done);
    // Stops the read and waits for its worker, which closes its connection.
    ~BackgroundRead();
    BackgroundRead(const BackgroundRead&) = delete;
    BackgroundRead& operator=(const BackgroundRead&) = delete;

    bool isFinished() const;
    // Stops the read where it is (its result is then an error): a read no
    // longer wanted is let go at once instead of summing on.
    void cancel();
    // From now on done does not run (a read its receiver no longer wants,
    // or whose rows it took by result()). On the receiver's thread only.
    void silence();
    // The rows, waiting for them when they are not there yet.
    Result<Rows> result() const;

    struct State;

private:
    BackgroundRead();

    std::unique_ptr<State> m_state;
    std::unique_ptr<QThread> m_thread;
    // held here alone: what the receiver is told only runs while it stands
    std::shared_ptr<std::function<void()>> m_done;
};
