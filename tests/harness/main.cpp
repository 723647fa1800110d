// shop-harness: proofs that the bookings keep their promises under load,
// under kill -9 and under failing disk operations. See docs/HARNESSES.md.
//
//   shop-harness load  [--engine sqlite|postgres] [--processes N] [--bookings M] [--seed S]
//   shop-harness crash [--engine sqlite|postgres] [--rounds R] [--seed S]
//   shop-harness iofail [--max-n N]
//
// PostgreSQL is reached through SHOP_TEST_PG_HOST, SHOP_TEST_PG_PORT and
// SHOP_TEST_PG_USER (scripts/pg-test-server.sh starts a throw-away server).
// Exit status 0 when every check held.
#include "FaultyVfs.h"
#include "Ledger.h"
#include "Workload.h"

#include "store/Schema.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

int iofail(qint64 maxN);

namespace {

void say(const QString& text) {
    std::fprintf(stdout, "%s\n", qPrintable(text));
    std::fflush(stdout);
}

int fail(const QString& text) {
    std::fprintf(stderr, "FAILED: %s\n", qPrintable(text));
    return 1;
}

QString pgServerString(const QString& database) {
    return QStringLiteral("Provider=SQLOLEDB.1;Password=;User ID=%1;Initial Catalog=%2;"
                          "Data Source=%3:%4;")
        .arg(qEnvironmentVariable("SHOP_TEST_PG_USER", QStringLiteral("postgres")), database,
             qEnvironmentVariable("SHOP_TEST_PG_HOST"),
             qEnvironmentVariable("SHOP_TEST_PG_PORT", QStringLiteral("5432")));
}

// A fresh database with the busy shop in it, dropped again (PostgreSQL) or
// left in a temporary folder that goes with this object.
class Scratch {
public:
    explicit Scratch(Engine engine) : m_engine(engine) {}
    ~Scratch() {
        Connection::close();
        if (!m_pgName.isEmpty())
            (void)maintenance(u"DROP DATABASE IF EXISTS " + m_pgName + u" WITH (FORCE)");
    }

    Status create() {
        if (m_engine == Engine::Sqlite) {
            m_cs = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;")
                       .arg(QDir(m_dir.path()).filePath(QStringLiteral("data.db")));
        } else {
            if (qEnvironmentVariable("SHOP_TEST_PG_HOST").isEmpty())
                return Error{QStringLiteral("SHOP_TEST_PG_HOST is not set: start a server with "
                                            "scripts/pg-test-server.sh")};
            m_pgName = QStringLiteral("shopharness_%1_%2")
                           .arg(QCoreApplication::applicationPid())
                           .arg(QDateTime::currentMSecsSinceEpoch());
            if (Status s = maintenance(u"CREATE DATABASE " + m_pgName); !s)
                return s;
            m_cs = pgServerString(m_pgName);
        }
        if (Status s = Connection::open(m_cs); !s)
            return s;
        if (Status s = Schema::create(Db()); !s)
            return s;
        return Workload::prepare(Db());
    }

    const QString& connectionString() const { return m_cs; }
    QString folder() const { return m_dir.path(); }

private:
    static Status maintenance(const QString& sql) {
        const QString name = QStringLiteral("maintenance");
        if (Status s = Connection::open(pgServerString(QStringLiteral("postgres")), name); !s)
            return s;
        auto done = Db(name).exec(sql);
        Connection::close(name);
        return done ? Status{} : Status{Error{done.error()}};
    }

    Engine m_engine;
    QTemporaryDir m_dir;
    QString m_pgName;
    QString m_cs;
};

Engine engineOf(const QString& name) {
    return name.startsWith(u"p", Qt::CaseInsensitive) ? Engine::Postgres : Engine::Sqlite;
}

QProcess* startWorker(const QString& cs, const QString& journal, qint64 count, quint32 seed,
                      const QString& tag) {
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("work"), cs, journal, QString::number(count), QString::number(seed), tag});
    return process;
}

// Everything that must hold after bookings that started from before: the
// values add up (with the in-flight booking of a killed process either
// fully there or not at all) and the invariants hold. Gives the breaches.
QStringList check(const Values& before, const QList<Ledger::Journal>& journals,
                  bool* inFlightCommitted = nullptr) {
    auto found = Ledger::read(Db());
    if (!found)
        return {u"cannot read the values: " + found.error()};
    Values expected = before;
    const Ledger::Journal* killed = nullptr;
    for (const Ledger::Journal& j : journals) {
        Ledger::add(expected, j.committed);
        if (j.inFlight)
            killed = &j;
    }
    QStringList breaches = Ledger::mismatches(expected, found.value());
    if (!breaches.isEmpty() && killed) {
        Values withIt = expected;
        Ledger::add(withIt, killed->inFlightDelta);
        const QStringList other = Ledger::mismatches(withIt, found.value());
        if (other.isEmpty()) {
            breaches.clear();
            if (inFlightCommitted)
                *inFlightCommitted = true;
        }
    }
    auto rules = Ledger::invariants(Db());
    if (!rules)
        breaches << u"cannot check the invariants: " + rules.error();
    else
        breaches << rules.value();
    return breaches;
}

int work(const QStringList& args) {
    if (args.size() != 6)
        return fail(QStringLiteral("work CONNECTION JOURNAL COUNT SEED TAG"));
    if (Status s = Connection::open(args[1]); !s)
        return fail(s.error());
    auto summary = Workload::run(Db(), args[2], args[3].toLongLong(), args[4].toUInt(), args[5]);
    if (!summary)
        return fail(summary.error());
    say(summary.value());
    return 0;
}

int load(Engine engine, int processes, qint64 bookings, quint32 seed) {
    Scratch scratch(engine);
    if (Status s = scratch.create(); !s)
        return fail(s.error());
    auto before = Ledger::read(Db());
    if (!before)
        return fail(before.error());
    QElapsedTimer clock;
    clock.start();
    QList<QProcess*> workers;
    QStringList journals;
    for (int p = 0; p < processes; ++p) {
        journals << QDir(scratch.folder()).filePath(QStringLiteral("journal-%1").arg(p));
        workers << startWorker(scratch.connectionString(), journals.last(), bookings, seed + p,
                               QStringLiteral("p%1").arg(p));
    }
    bool allFinished = true;
    for (QProcess* w : workers) {
        w->waitForFinished(-1);
        say(QString::fromUtf8(w->readAllStandardOutput()).trimmed());
        allFinished = allFinished && w->exitStatus() == QProcess::NormalExit && w->exitCode() == 0;
        delete w;
    }
    const qint64 ms = clock.elapsed();
    QList<Ledger::Journal> read;
    qint64 commits = 0;
    for (const QString& path : journals) {
        auto j = Ledger::readJournal(path);
        if (!j)
            return fail(j.error());
        commits += j.value().commits;
        read << j.value();
    }
    const QStringList breaches = check(before.value(), read);
    say(QStringLiteral("load on %1: %2 processes x %3 bookings, %4 committed in %5 s, %6 breaches")
            .arg(engine == Engine::Sqlite ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL"))
            .arg(processes)
            .arg(bookings)
            .arg(commits)
            .arg(double(ms) / 1000.0, 0, 'f', 1)
            .arg(breaches.size()));
    for (const QString& b : breaches)
        say(u"  " + b);
    if (!allFinished)
        return fail(QStringLiteral("a worker did not finish cleanly"));
    return breaches.isEmpty() ? 0 : 1;
}

int crash(Engine engine, int rounds, quint32 seed) {
    Scratch scratch(engine);
    if (Status s = scratch.create(); !s)
        return fail(s.error());
    QRandomGenerator random(seed);
    int committedInFlight = 0, rolledBack = 0, idle = 0;
    for (int r = 0; r < rounds; ++r) {
        auto before = Ledger::read(Db());
        if (!before)
            return fail(before.error());
        Connection::close();
        const QString journal =
            QDir(scratch.folder()).filePath(QStringLiteral("journal-%1").arg(r));
        QProcess* w = startWorker(scratch.connectionString(), journal, 1000000, seed + r,
                                  QStringLiteral("k%1").arg(r));
        // wait for the first booking, then kill at a random moment after it
        QElapsedTimer started;
        started.start();
        while (QFileInfo(journal).size() == 0 && started.elapsed() < 20000 &&
               w->state() != QProcess::NotRunning)
            QThread::msleep(1);
        QThread::usleep(random.bounded(200000));
        w->kill(); // SIGKILL
        w->waitForFinished(-1);
        delete w;
        if (Status s = Connection::open(scratch.connectionString()); !s)
            return fail(
                QStringLiteral("round %1: the database does not open: %2").arg(r).arg(s.error()));
        auto j = Ledger::readJournal(journal);
        if (!j)
            return fail(j.error());
        bool inFlightCommitted = false;
        const QStringList breaches = check(before.value(), {j.value()}, &inFlightCommitted);
        if (!breaches.isEmpty()) {
            say(QStringLiteral("round %1 (%2 committed before the kill):")
                    .arg(r)
                    .arg(j.value().commits));
            for (const QString& b : breaches)
                say(u"  " + b);
            return fail(QStringLiteral("a booking was not all-or-nothing after a kill"));
        }
        if (!j.value().inFlight)
            ++idle;
        else if (inFlightCommitted)
            ++committedInFlight;
        else
            ++rolledBack;
    }
    say(QStringLiteral("crash on %1: %2 kills survived (booking in flight: %3 committed whole, %4 "
                       "rolled back whole; %5 between bookings), 0 breaches")
            .arg(engine == Engine::Sqlite ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL"))
            .arg(rounds)
            .arg(committedInFlight)
            .arg(rolledBack)
            .arg(idle));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args[0] == u"work")
        return work(args);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("load, crash and I/O-error harnesses"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("load, crash or iofail"));
    QCommandLineOption engine(QStringLiteral("engine"), QStringLiteral("sqlite or postgres"),
                              QStringLiteral("engine"), QStringLiteral("sqlite"));
    QCommandLineOption processes(QStringLiteral("processes"), QStringLiteral("processes"),
                                 QStringLiteral("n"), QStringLiteral("2"));
    QCommandLineOption bookings(QStringLiteral("bookings"), QStringLiteral("bookings per process"),
                                QStringLiteral("m"), QStringLiteral("500"));
    QCommandLineOption rounds(QStringLiteral("rounds"), QStringLiteral("kills"),
                              QStringLiteral("r"), QStringLiteral("20"));
    QCommandLineOption maxN(QStringLiteral("max-n"), QStringLiteral("largest N tried"),
                            QStringLiteral("n"), QStringLiteral("400"));
    QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("random seed"),
                            QStringLiteral("s"), QStringLiteral("1"));
    parser.addOptions({engine, processes, bookings, rounds, maxN, seed});
    parser.process(app);
    const QString command = parser.positionalArguments().value(0);
    const Engine e = engineOf(parser.value(engine));
    if (command == u"load")
        return load(e, parser.value(processes).toInt(), parser.value(bookings).toLongLong(),
                    parser.value(seed).toUInt());
    if (command == u"crash")
        return crash(e, parser.value(rounds).toInt(), parser.value(seed).toUInt());
    if (command == u"iofail")
        return iofail(parser.value(maxN).toLongLong());
    parser.showHelp(2);
}
