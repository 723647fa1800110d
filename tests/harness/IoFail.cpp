#include "FaultyVfs.h"
#include "Ledger.h"
#include "Workload.h"

#include "store/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <cstdio>

// For every kind of booking, every operation (write, sync, lock) and both
// modes (the Nth call fails once, or from the Nth on), N runs from 1 until
// the booking completes without an injected failure. Each try starts from
// the same database file; after it the file is reopened and must hold the
// booking whole or not at all, a booking that reported success must be
// there, and one reported not done must not be (an unknown outcome may be
// either).
int iofail(qint64 maxN) {
    const auto say = [](const QString& text) {
        std::fprintf(stdout, "%s\n", qPrintable(text));
        std::fflush(stdout);
    };
    if (!FaultyVfs::install()) {
        std::fprintf(stderr, "FAILED: the wrapper file system cannot be installed\n");
        return 1;
    }
    // The failures are injected, the disk is not needed: in memory when the
    // system offers it, so the many syncs cost nothing.
    QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                          ? QStringLiteral("/dev/shm/shop-iofail-XXXXXX")
                          : QDir::tempPath() + QStringLiteral("/shop-iofail-XXXXXX"));
    const QString base = QDir(dir.path()).filePath(QStringLiteral("base.db"));
    const QString work = QDir(dir.path()).filePath(QStringLiteral("work.db"));
    const auto cs = [](const QString& file) {
        return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;").arg(file);
    };
    const auto fail = [](const QString& text) {
        std::fprintf(stderr, "FAILED: %s\n", qPrintable(text));
        return 1;
    };
    {
        if (Status s = Connection::open(cs(base)); !s)
            return fail(s.error());
        if (Status s = Schema::create(Db()); !s)
            return fail(s.error());
        if (Status s = Workload::prepare(Db()); !s)
            return fail(s.error());
        // some sales and open rents to return and refund
        auto warmUp = Workload::run(Db(), QDir(dir.path()).filePath(QStringLiteral("journal")),
                                    {60, 3, QStringLiteral("w"), {}, 60});
        if (!warmUp)
            return fail(warmUp.error());
        Connection::close(); // the last connection folds the WAL back into the file
    }

    const QList<std::pair<FaultyVfs::Operation, QString>> operations = {
        {FaultyVfs::Operation::Write, QStringLiteral("write")},
        {FaultyVfs::Operation::Sync, QStringLiteral("sync")},
        {FaultyVfs::Operation::Lock, QStringLiteral("lock")}};
    const QList<std::pair<FaultyVfs::Mode, QString>> modes = {
        {FaultyVfs::Mode::Once, QStringLiteral("once")},
        {FaultyVfs::Mode::FromThenOn, QStringLiteral("from then on")}};

    const Db db;
    qint64 tries = 0, injected = 0, reportedErrors = 0, absorbed = 0, unknownOutcomes = 0,
           committedDespiteError = 0;
    QStringList breaches;
    QSet<QString> texts;
    for (int k = 0; k < Workload::KindCount; ++k) {
        const auto kind = Workload::Kind(k);
        for (const auto& [operation, operationName] : operations) {
            for (const auto& [mode, modeName] : modes) {
                bool completed = false;
                for (qint64 n = 1; n <= maxN && !completed; ++n) {
                    for (const char* suffix : {"", "-wal", "-shm"})
                        QFile::remove(work + QLatin1String(suffix));
                    if (!QFile::copy(base, work))
                        return fail(QStringLiteral("cannot copy the database"));
                    if (Status s = Connection::open(cs(work)); !s)
                        return fail(s.error());
                    auto before = Ledger::read(db);
                    if (!before)
                        return fail(before.error());
                    QRandomGenerator random(7);
                    auto planned = Workload::plan(db, kind, QStringLiteral("io"), random);
                    if (!planned)
                        return fail(planned.error());
                    if (!planned.value().book) {
                        completed = true;
                        continue;
                    }
                    ++tries;
                    FaultyVfs::arm(operation, n, mode);
                    const Status booked = planned.value().book();
                    const qint64 fired = FaultyVfs::injected();
                    FaultyVfs::disarm();
                    injected += fired;
                    Connection::close();

                    const QString where = QStringLiteral("%1, %2 #%3 failing %4")
                                              .arg(Workload::kindName(kind), operationName)
                                              .arg(n)
                                              .arg(modeName);
                    if (Status s = Connection::open(cs(work)); !s) {
                        breaches << where + u": the database does not open again: " + s.error();
                        continue;
                    }
                    auto after = Ledger::read(Db());
                    auto rules = Ledger::invariants(Db());
                    Connection::close();
                    if (!after || !rules) {
                        breaches << where + u": cannot read the database again";
                        continue;
                    }
                    breaches << rules.value();
                    Values whole = before.value();
                    Ledger::add(whole, planned.value().delta);
                    const bool isWhole = Ledger::mismatches(whole, after.value()).isEmpty();
                    const bool isNone = Ledger::mismatches(before.value(), after.value()).isEmpty();
                    if (booked) {
                        if (!isWhole)
                            breaches << where + u": reported booked but not all there: " +
                                            Ledger::mismatches(whole, after.value()).join(u"; ");
                        if (fired == 0)
                            completed = true;
                        else
                            ++absorbed;
                    } else if (fired == 0) {
                        // refused for a reason of its own: the plan is at fault
                        breaches << where + u": refused without an injected failure: " +
                                        booked.error();
                        completed = true;
                    } else {
                        ++reportedErrors;
                        static const QRegularExpression key(QStringLiteral("[0-9a-f-]{36}"));
                        texts.insert(QString(booked.error()).replace(key, QStringLiteral("…")));
                        // the commit's answer lost and the look-up not possible
                        const bool unknown = booked.error().contains(u"结果未知");
                        if (unknown)
                            ++unknownOutcomes;
                        if (!unknown && !booked.error().contains(u"本次操作没有完成"))
                            breaches << where +
                                            u": failed without saying nothing was saved or that "
                                            u"the outcome is unknown: " +
                                            booked.error();
                        if (isWhole && unknown)
                            ++committedDespiteError;
                        else if (isWhole)
                            breaches << where + u": reported not done but committed whole: " +
                                            booked.error();
                        else if (!isNone)
                            breaches << where + u": left part of the booking";
                    }
                }
                if (!completed)
                    breaches << QStringLiteral("%1, %2 %3: never completed up to N = %4")
                                    .arg(Workload::kindName(kind), operationName, modeName)
                                    .arg(maxN);
            }
        }
    }
    say(QStringLiteral("iofail on SQLite: %1 tries, %2 injected failures, %3 bookings reported an "
                       "error (%4 of them an unknown outcome, %5 of those committed whole), %6 "
                       "absorbed by SQLite and booked whole, %7 breaches")
            .arg(tries)
            .arg(injected)
            .arg(reportedErrors)
            .arg(unknownOutcomes)
            .arg(committedDespiteError)
            .arg(absorbed)
            .arg(breaches.size()));
    for (const QString& t : texts)
        say(u"  error text: " + t.simplified().left(160));
    for (const QString& b : breaches)
        say(u"  " + b);
    return breaches.isEmpty() ? 0 : 1;
}
