#pragma once

#include "store/Result.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariantList>

#include <functional>

#include <memory>

// A read that runs on a worker thread over a connection of its own to the
// same database as a named connection, so that the window that asked stays
// responsive while a million rows are summed. The named connection is left
// alone: it stays usable for bookings meanwhile. Each read opens and closes
// its own connection, so nothing of it is left once it is finished.
class BackgroundRead {
public:
    using Rows = QList<QVariantList>;

    // Starts reading the rows of sql with params; once they are there,
    // done runs on receiver's thread. The receiver owns the read (its
    // destruction waits for the worker). When the connection cannot be
    // shared with a worker (a database in memory) the read runs at once on
    // the named connection instead, and done still comes later.
    static std::shared_ptr<BackgroundRead> start(const QString& connectionName, const QString& sql,
                                                 const QVariantList& params, QObject* receiver,
                                                 std::function<void()> done);
    ~BackgroundRead();
    BackgroundRead(const BackgroundRead&) = delete;
    BackgroundRead& operator=(const BackgroundRead&) = delete;

    bool isFinished() const;
    // Stops the read where it is (its result is then an error): a read no
    // longer wanted is let go at once instead of summing on.
    void cancel();
    // The rows, waiting for them when they are not there yet.
    Result<Rows> result() const;

    struct State;

private:
    explicit BackgroundRead(std::shared_ptr<State> state) : m_state(std::move(state)) {}
    std::shared_ptr<State> m_state;
};
