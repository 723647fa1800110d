// shop-harness: proofs that the bookings keep their promises under load,
// under kill -9 and under failing disk operations. See docs/HARNESSES.md.
//
//   shop-harness load  [--engine sqlite|postgres] [--processes N] [--bookings M] [--seed S]
//                      [--plant wrong-amount|refuse-valid]
//   shop-harness crash [--engine sqlite|postgres] [--rounds R] [--seed S]
//   shop-harness powercut [--rounds R] [--seed S]
//   shop-harness iofail [--max-n N]
// and --booking-limit SECONDS (default 60): a booking taking longer is a stall.
//
// The load run on PostgreSQL is reached through SHOP_TEST_PG_HOST,
// SHOP_TEST_PG_PORT and SHOP_TEST_PG_USER (scripts/pg-test-server.sh starts
// a throw-away server); the crash run starts a durable server of its own.
// Exit status 0 when every check held (with --plant: when the planted fault
// was caught).
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
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <memory>
#include <sys/wait.h>

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

// The journal's last lines, for the report of a breach.
QString journalTail(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    return u"  journal ends: " + lines.mid(qMax(0, int(lines.size()) - 5)).join(u"\n    ");
}

Engine engineOf(const QString& name) {
    return name.startsWith(u"p", Qt::CaseInsensitive) ? Engine::Postgres : Engine::Sqlite;
}

QString engineName(Engine engine) {
    return engine == Engine::Sqlite ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL");
}

// A durable PostgreSQL server of the run's own (fsync, full_page_writes and
// synchronous_commit as shipped), in a temporary folder on a port of its
// own, which the run may kill; removed with this object.
class OwnServer {
public:
    OwnServer() {
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                QFileDevice::ExeOther);
        // the socket lives in the folder; the port only names it, but keep
        // it apart from the other tests' clusters all the same
        m_port = 56000 + int(QCoreApplication::applicationPid() % 1000);
    }
    ~OwnServer() {
        if (m_started)
            (void)script({QStringLiteral("stop"), m_dir.path()});
    }
    Status start() {
        if (Status s = script({QStringLiteral("start"), m_dir.path(), QStringLiteral("durable")});
            !s)
            return s;
        m_started = true;
        qputenv("SHOP_TEST_PG_HOST", m_dir.path().toLocal8Bit());
        qputenv("SHOP_TEST_PG_PORT", QByteArray::number(m_port));
        qputenv("SHOP_TEST_PG_USER", "postgres");
        return {};
    }
    // killed as by a crash (no checkpoint, no goodbye) and started again
    Status restart() { return script({QStringLiteral("restart"), m_dir.path()}); }

private:
    Status script(const QStringList& arguments) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("SHOP_PG_PORT"), QString::number(m_port));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral("bash"),
                      QStringList{QStringLiteral(SHOP_SOURCE_DIR "/scripts/pg-test-server.sh")} +
                          arguments);
        if (!process.waitForFinished(120000) || process.exitCode() != 0)
            return Error{QStringLiteral("pg-test-server.sh %1: %2")
                             .arg(arguments.join(u' '), QString::fromLocal8Bit(process.readAll()))};
        return {};
    }
    QTemporaryDir m_dir;
    int m_port = 0;
    bool m_started = false;
};

struct WorkerArgs {
    QString cs;
    QString journal;
    qint64 count = 0;
    quint32 seed = 1;
    QString tag;
    QString plant;
    int bookingLimit = 60;
    qint64 cutAt = 0; // power cut at this write or sync, 0: none
};

QProcess* startWorker(const WorkerArgs& a, bool forwardErrors = true) {
    auto* process = new QProcess;
    if (forwardErrors)
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("work"), a.cs, a.journal, QString::number(a.count),
                    QString::number(a.seed), a.tag,
                    a.plant.isEmpty() ? QStringLiteral("-") : a.plant,
                    QString::number(a.bookingLimit), QString::number(a.cutAt)});
    return process;
}

// Everything that must hold after bookings that started from before: the
// values add up, record rows included (with the in-flight booking of a
// killed process either fully there or not at all), every refusal had a
// reason, nothing stalled, a connection was lost only where the run took
// the server away, and the invariants hold. Gives the breaches.
QStringList check(const Values& before, const QList<Ledger::Journal>& journals,
                  bool connectionsMayBeLost, bool* inFlightCommitted = nullptr,
                  Values* now = nullptr) {
    auto found = Ledger::read(Db());
    if (!found)
        return {u"cannot read the values: " + found.error()};
    Values expected = before; // before may be *now
    const Ledger::Journal* killed = nullptr;
    QStringList journalled;
    for (const Ledger::Journal& j : journals) {
        Ledger::add(expected, j.committed);
        if (j.inFlight)
            killed = &j;
        journalled << j.breaches;
        if (j.lost > 0 && !connectionsMayBeLost)
            journalled << QStringLiteral("%1 bookings lost their connection, nobody took the "
                                         "server away (last: %2)")
                              .arg(j.lost)
                              .arg(j.lastRefusal);
    }
    QStringList breaches = Ledger::mismatches(expected, found.value());
    if (!breaches.isEmpty() && killed) {
        Values withIt = expected;
        Ledger::add(withIt, killed->inFlightDelta);
        if (Ledger::mismatches(withIt, found.value()).isEmpty()) {
            breaches.clear();
            if (inFlightCommitted)
                *inFlightCommitted = true;
        }
    }
    if (!breaches.isEmpty()) {
        // the clearer word for the commonest case: told refused, yet booked
        for (const Ledger::Journal& j : journals) {
            Values withIt = expected;
            Ledger::add(withIt, j.lastRefusedDelta);
            if (!j.lastRefusedDelta.isEmpty() &&
                Ledger::mismatches(withIt, found.value()).isEmpty())
                breaches =
                    QStringList{u"a booking reported refused is committed whole: " + j.lastRefusal};
        }
    }
    breaches << journalled;
    auto rules = Ledger::invariants(Db());
    if (!rules)
        breaches << u"cannot check the invariants: " + rules.error();
    else
        breaches << rules.value();
    if (now)
        *now = found.value();
    return breaches;
}

int work(const QStringList& args) {
    if (args.size() != 9)
        return fail(QStringLiteral("work CONNECTION JOURNAL COUNT SEED TAG PLANT LIMIT CUT"));
    if (const qint64 cutAt = args[8].toLongLong(); cutAt > 0) {
        if (!FaultyVfs::install())
            return fail(QStringLiteral("the wrapper file system cannot be installed"));
        FaultyVfs::armPowerCut(cutAt, args[4].toUInt());
    }
    if (Status s = Connection::open(args[1]); !s)
        return fail(s.error());
    Workload::RunOptions options{args[3].toLongLong(), args[4].toUInt(), args[5],
                                 args[6] == u"-" ? QString() : args[6], args[7].toInt()};
    auto summary = Workload::run(Db(), args[2], options);
    if (!summary)
        return fail(summary.error());
    say(summary.value());
    return 0;
}

int load(Engine engine, int processes, qint64 bookings, quint32 seed, const QString& plant,
         int bookingLimit) {
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
        workers << startWorker({scratch.connectionString(), journals.last(), bookings, seed + p,
                                QStringLiteral("p%1").arg(p), p == 0 ? plant : QString(),
                                bookingLimit});
    }
    bool allFinished = true;
    QString planted;
    for (QProcess* w : workers) {
        w->waitForFinished(-1); // each stops itself on a stalled booking
        const QString out = QString::fromUtf8(w->readAllStandardOutput()).trimmed();
        say(out);
        static const QRegularExpression plantLine(QStringLiteral("planted \\S+ in (\\S+)"));
        if (const auto m = plantLine.match(out); m.hasMatch())
            planted = m.captured(1);
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
    const QStringList breaches = check(before.value(), read, false);
    say(QStringLiteral("load on %1: %2 processes x %3 bookings, %4 committed in %5 s, %6 breaches")
            .arg(engineName(engine))
            .arg(processes)
            .arg(bookings)
            .arg(commits)
            .arg(double(ms) / 1000.0, 0, 'f', 1)
            .arg(breaches.size()));
    for (const QString& b : breaches)
        say(u"  " + b);
    if (!allFinished)
        return fail(QStringLiteral("a worker did not finish cleanly"));
    if (plant.isEmpty())
        return breaches.isEmpty() ? 0 : 1;
    // planted: caught when there are breaches and every one is the plant's
    if (planted.isEmpty())
        return fail(u"no booking to plant " + plant + u" in");
    // its tag as a field of a record row or as the refused booking's name
    const QRegularExpression tagged(u"[| ]" + QRegularExpression::escape(planted) + u"[|:]");
    const bool caught =
        !breaches.isEmpty() && std::all_of(breaches.begin(), breaches.end(),
                                           [&](const QString& b) { return b.contains(tagged); });
    if (!caught)
        return fail(u"the planted " + plant + u" in " + planted + u" was not caught");
    say(u"planted " + plant + u" in " + planted + u": caught");
    return 0;
}

// Waits until no other connection is left on the database (PostgreSQL).
Status clientsGone() {
    if (Db().engine() != Engine::Postgres)
        return {};
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        auto others = Db().scalarInteger(
            QStringLiteral("select count(*) from pg_stat_activity where datname = "
                           "current_database() and pid <> pg_backend_pid()"));
        if (!others)
            return Error{others.error()};
        if (others.value().value_or(0) == 0)
            return {};
        if (waited.elapsed() > 30000)
            return Error{QStringLiteral("the killed client's server process is still there")};
        QThread::msleep(5);
    }
}

// Every check reads every record row: the rounds of the crash and power-cut
// runs start on a fresh database every so often, so a long run stays linear.
constexpr int RoundsPerDatabase = 100;

Status freshScratch(std::unique_ptr<Scratch>& scratch, Engine engine, Values& values) {
    scratch.reset();
    scratch = std::make_unique<Scratch>(engine);
    if (Status s = scratch->create(); !s)
        return s;
    auto read = Ledger::read(Db());
    if (!read)
        return Error{read.error()};
    values = read.value();
    return {};
}

int crash(Engine engine, int rounds, quint32 seed, int bookingLimit) {
    OwnServer server;
    if (engine == Engine::Postgres)
        if (Status s = server.start(); !s)
            return fail(s.error());
    std::unique_ptr<Scratch> scratch;
    Values before;
    QRandomGenerator random(seed);
    int committedInFlight = 0, rolledBack = 0, idle = 0, serverKills = 0;
    for (int r = 0; r < rounds; ++r) {
        if (r % RoundsPerDatabase == 0)
            if (Status s = freshScratch(scratch, engine, before); !s)
                return fail(s.error());
        Connection::close();
        const QString journal =
            QDir(scratch->folder()).filePath(QStringLiteral("journal-%1").arg(r));
        QProcess* w = startWorker({scratch->connectionString(),
                                   journal,
                                   1000000,
                                   seed + r,
                                   QStringLiteral("k%1").arg(r),
                                   {},
                                   bookingLimit},
                                  false);
        // the server is killed too every other round on PostgreSQL
        const bool killServer = engine == Engine::Postgres && random.bounded(2) == 0;
        // wait for the first booking, then kill at a random moment after it
        QElapsedTimer started;
        started.start();
        while (QFileInfo(journal).size() == 0 && started.elapsed() < 20000 &&
               w->state() != QProcess::NotRunning)
            QThread::msleep(1);
        QThread::usleep(random.bounded(200000));
        const bool endedItself = w->waitForFinished(0);
        if (killServer) {
            if (Status s = server.restart(); !s)
                return fail(s.error());
            ++serverKills;
        }
        w->kill(); // SIGKILL
        w->waitForFinished(-1);
        const QString errors = QString::fromUtf8(w->readAllStandardError()).trimmed();
        delete w;
        if (endedItself)
            return fail(QStringLiteral("round %1: the booking process ended by itself: %2")
                            .arg(r)
                            .arg(errors));
        if (Status s = Connection::open(scratch->connectionString()); !s)
            return fail(
                QStringLiteral("round %1: the database does not open: %2").arg(r).arg(s.error()));
        // the killed client's server process may still be finishing a
        // COMMIT it was sent: the booking stands once that is done
        if (Status s = clientsGone(); !s)
            return fail(QStringLiteral("round %1: %2").arg(r).arg(s.error()));
        auto j = Ledger::readJournal(journal);
        if (!j)
            return fail(j.error());
        bool inFlightCommitted = false;
        const QStringList breaches =
            check(before, {j.value()}, killServer, &inFlightCommitted, &before);
        if (!breaches.isEmpty()) {
            say(QStringLiteral("round %1 (%2 committed before the kill%3):")
                    .arg(r)
                    .arg(j.value().commits)
                    .arg(killServer ? QStringLiteral(", server killed too") : QString()));
            for (const QString& b : breaches)
                say(u"  " + b);
            say(journalTail(journal));
            return fail(QStringLiteral("a booking was not all-or-nothing after a kill"));
        }
        if (!j.value().inFlight)
            ++idle;
        else if (inFlightCommitted)
            ++committedInFlight;
        else
            ++rolledBack;
    }
    say(QStringLiteral("crash on %1: %2 kills survived (%3 with the server killed too; booking in "
                       "flight: %4 committed whole, %5 rolled back whole; %6 between bookings), "
                       "0 breaches")
            .arg(engineName(engine))
            .arg(rounds)
            .arg(serverKills)
            .arg(committedInFlight)
            .arg(rolledBack)
            .arg(idle));
    return 0;
}

// R times: a booking process on SQLite whose file system holds back every
// write until its sync loses power at a random write or sync; the file is
// opened again (the shared-memory index gone with the power) and must hold
// every booking whose commit returned, the one in flight whole or not at
// all, and pass integrity_check.
int powercut(int rounds, quint32 seed, int bookingLimit) {
    std::unique_ptr<Scratch> scratch;
    Values before;
    QRandomGenerator random(seed);
    int committedInFlight = 0, rolledBack = 0, idle = 0;
    qint64 commits = 0;
    for (int r = 0; r < rounds; ++r) {
        if (r % RoundsPerDatabase == 0)
            if (Status s = freshScratch(scratch, Engine::Sqlite, before); !s)
                return fail(s.error());
        const QString file = QDir(scratch->folder()).filePath(QStringLiteral("data.db"));
        Connection::close();
        const QString journal =
            QDir(scratch->folder()).filePath(QStringLiteral("journal-%1").arg(r));
        // a booking costs some five writes and one sync
        const qint64 cutAt = 1 + random.bounded(300);
        QProcess* w = startWorker({scratch->connectionString(),
                                   journal,
                                   1000000,
                                   seed + r,
                                   QStringLiteral("c%1").arg(r),
                                   {},
                                   bookingLimit,
                                   cutAt},
                                  false);
        const bool ended = w->waitForFinished(bookingLimit * 1000 * 4);
        if (!ended)
            w->kill();
        w->waitForFinished(-1);
        const int code = w->exitCode();
        const QString errors = QString::fromUtf8(w->readAllStandardError()).trimmed();
        delete w;
        if (!ended || code != FaultyVfs::PowerCutExit)
            return fail(QStringLiteral("round %1: the booking process ended without the power "
                                       "cut (status %2): %3")
                            .arg(r)
                            .arg(code)
                            .arg(errors));
        // what lived in memory only is gone with the power
        QFile::remove(file + u"-shm");
        if (Status s = Connection::open(scratch->connectionString()); !s)
            return fail(
                QStringLiteral("round %1: the database does not open: %2").arg(r).arg(s.error()));
        auto j = Ledger::readJournal(journal);
        if (!j)
            return fail(j.error());
        bool inFlightCommitted = false;
        const QStringList breaches = check(before, {j.value()}, false, &inFlightCommitted, &before);
        if (!breaches.isEmpty()) {
            say(QStringLiteral("round %1 (power cut at write or sync %2, %3 committed before):")
                    .arg(r)
                    .arg(cutAt)
                    .arg(j.value().commits));
            for (const QString& b : breaches)
                say(u"  " + b);
            say(journalTail(journal));
            return fail(QStringLiteral("a booking was lost or partial after a power cut"));
        }
        commits += j.value().commits;
        if (!j.value().inFlight)
            ++idle;
        else if (inFlightCommitted)
            ++committedInFlight;
        else
            ++rolledBack;
    }
    say(QStringLiteral("powercut on SQLite: %1 power cuts survived, %2 committed bookings all "
                       "there (booking in flight: %3 committed whole, %4 rolled back whole; %5 "
                       "between bookings), 0 breaches")
            .arg(rounds)
            .arg(commits)
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
    parser.setApplicationDescription(QStringLiteral("load, crash, power-cut and I/O-error "
                                                    "harnesses"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("load, crash, powercut or iofail"));
    QCommandLineOption engine(QStringLiteral("engine"), QStringLiteral("sqlite or postgres"),
                              QStringLiteral("engine"), QStringLiteral("sqlite"));
    QCommandLineOption processes(QStringLiteral("processes"), QStringLiteral("processes"),
                                 QStringLiteral("n"), QStringLiteral("2"));
    QCommandLineOption bookings(QStringLiteral("bookings"), QStringLiteral("bookings per process"),
                                QStringLiteral("m"), QStringLiteral("500"));
    QCommandLineOption rounds(QStringLiteral("rounds"), QStringLiteral("kills or power cuts"),
                              QStringLiteral("r"), QStringLiteral("20"));
    QCommandLineOption maxN(QStringLiteral("max-n"), QStringLiteral("largest N tried"),
                            QStringLiteral("n"), QStringLiteral("400"));
    QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("random seed"),
                            QStringLiteral("s"), QStringLiteral("1"));
    QCommandLineOption plant(QStringLiteral("plant"),
                             QStringLiteral("a fault to plant for the checker to catch: "
                                            "wrong-amount or refuse-valid"),
                             QStringLiteral("fault"));
    QCommandLineOption limit(QStringLiteral("booking-limit"),
                             QStringLiteral("seconds a booking may take before it is a stall"),
                             QStringLiteral("s"), QStringLiteral("60"));
    parser.addOptions({engine, processes, bookings, rounds, maxN, seed, plant, limit});
    parser.process(app);
    const QString command = parser.positionalArguments().value(0);
    const Engine e = engineOf(parser.value(engine));
    const int bookingLimit = qMax(1, parser.value(limit).toInt());
    const QString planted = parser.value(plant);
    if (!planted.isEmpty() && planted != u"wrong-amount" && planted != u"refuse-valid")
        return fail(u"unknown fault to plant: " + planted);
    if (command == u"load")
        return load(e, parser.value(processes).toInt(), parser.value(bookings).toLongLong(),
                    parser.value(seed).toUInt(), planted, bookingLimit);
    if (command == u"crash")
        return crash(e, parser.value(rounds).toInt(), parser.value(seed).toUInt(), bookingLimit);
    if (command == u"powercut")
        return powercut(parser.value(rounds).toInt(), parser.value(seed).toUInt(), bookingLimit);
    if (command == u"iofail")
        return iofail(parser.value(maxN).toLongLong());
    parser.showHelp(2);
}
