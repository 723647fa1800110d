#include "support/OwnCluster.h"

#include "store/Connection.h"
#include "store/Db.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

#include <csignal>
#include <sys/types.h>

namespace {

QString scriptPath() {
    // the tests run from build/<preset>/bin; the script is in the source tree
    return QStringLiteral(SHOP_SOURCE_DIR "/scripts/pg-test-server.sh");
}

} // namespace

OwnCluster::OwnCluster() : OwnCluster(Options{}) {}

OwnCluster::OwnCluster(Options options) : m_options(options) {
    QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::ExeOther);
}

OwnCluster::~OwnCluster() {
    if (m_started)
        (void)script({QStringLiteral("stop"), m_dir.path()});
}

Status OwnCluster::script(const QStringList& arguments) const {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SHOP_PG_PORT"), QString::number(m_options.port));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("bash"), QStringList{scriptPath()} + arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return Error{QStringLiteral("pg-test-server.sh %1: %2")
                         .arg(arguments.join(u' '), QString::fromLocal8Bit(process.readAll()))};
    return {};
}

Status OwnCluster::start() {
    QStringList arguments{QStringLiteral("start"), m_dir.path(), QStringLiteral("durable")};
    if (m_options.tcp)
        arguments << QStringLiteral("tcp");
    if (m_options.plain)
        arguments << QStringLiteral("plain");
    if (Status s = script(arguments); !s)
        return s;
    m_started = true;
    return {};
}

Status OwnCluster::restart() {
    return script({QStringLiteral("restart"), m_dir.path()});
}

void OwnCluster::kill() {
    (void)script({QStringLiteral("stop"), m_dir.path()});
}

Result<QString> OwnCluster::createShop(const QString& database, bool viaTcp) {
    const QString socket = QStringLiteral("Provider=SQLOLEDB.1;User ID=postgres;Password=;"
                                          "Initial Catalog=%1;Data Source=%2:%3;");
    const QString maintenance = QStringLiteral("own-cluster-maintenance");
    if (Status s = Connection::open(
            socket.arg(QStringLiteral("postgres"), m_dir.path()).arg(m_options.port), maintenance);
        !s)
        return Error{s.error()};
    auto created = Db(maintenance).exec(QStringLiteral("CREATE DATABASE %1").arg(database));
    Connection::close(maintenance);
    if (!created)
        return Error{created.error()};
    const QString shop = socket.arg(database, m_dir.path()).arg(m_options.port);
    if (Status s = Connection::open(shop, maintenance); !s)
        return Error{s.error()};
    const Status schema = Schema::create(Db(maintenance));
    Connection::close(maintenance);
    if (!schema)
        return Error{schema.error()};
    if (viaTcp)
        return socket.arg(database, QStringLiteral("127.0.0.1")).arg(m_options.port);
    return shop;
}

Result<QList<qint64>> OwnCluster::backends(const QString& database) const {
    const QString maintenance = QStringLiteral("own-cluster-backends");
    const QString socket = QStringLiteral("Provider=SQLOLEDB.1;User ID=postgres;Password=;"
                                          "Initial Catalog=postgres;Data Source=%1:%2;")
                               .arg(m_dir.path())
                               .arg(m_options.port);
    if (Status s = Connection::open(socket, maintenance); !s)
        return Error{s.error()};
    QList<qint64> pids;
    {
        auto rows = Db(maintenance)
                        .select(QStringLiteral("select pid from pg_stat_activity where datname = ? "
                                               "and pid <> pg_backend_pid()"),
                                {database});
        if (!rows) {
            Connection::close(maintenance);
            return Error{rows.error()};
        }
        while (rows.value().next())
            pids << rows.value().integer(QStringLiteral("pid"));
    }
    Connection::close(maintenance);
    return pids;
}

bool OwnCluster::pause(qint64 pid) {
    return ::kill(pid_t(pid), SIGSTOP) == 0;
}

bool OwnCluster::resume(qint64 pid) {
    return ::kill(pid_t(pid), SIGCONT) == 0;
}
