#pragma once

#include "store/Result.h"

#include <QString>
#include <QTemporaryDir>

// A PostgreSQL cluster of one test's own, for tests that stop, kill or
// restart the server (never the shared throw-away cluster of the other
// tests): durable as shipped (fsync, full_page_writes, synchronous_commit),
// on a Unix socket in its own folder, with tcp also on 127.0.0.1 with TLS
// under a self-signed certificate (caFile()). Started by
// scripts/pg-test-server.sh, removed with the object. Tests using one run
// one at a time (their program carries a CTest resource lock).
class OwnCluster {
public:
    struct Options {
        bool tcp = false;   // 127.0.0.1 with TLS
        bool plain = false; // 127.0.0.1 without TLS
        int port = 55432;
    };
    OwnCluster();
    explicit OwnCluster(Options options);
    ~OwnCluster();
    OwnCluster(const OwnCluster&) = delete;
    OwnCluster& operator=(const OwnCluster&) = delete;

    Status start();
    // The server killed as by a crash and started again on the same data.
    Status restart();
    // The server killed as by a crash and left down.
    void kill();

    // A new database on it with the shop's schema; gives its connection
    // string (over the socket, or with viaTcp over 127.0.0.1).
    Result<QString> createShop(const QString& database, bool viaTcp = false);
    QString socketFolder() const { return m_dir.path(); }
    int port() const { return m_options.port; }
    QString caFile() const { return m_dir.filePath(QStringLiteral("server.crt")); }

    // The server processes serving connections of a database.
    Result<QList<qint64>> backends(const QString& database) const;
    // SIGSTOP / SIGCONT to a server process: a backend that stops answering.
    static bool pause(qint64 pid);
    static bool resume(qint64 pid);

private:
    Status script(const QStringList& arguments) const;
    Options m_options;
    QTemporaryDir m_dir;
    bool m_started = false;
};
