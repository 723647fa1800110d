#include "store/Connection.h"
#include "store/Db.h"
#include "support/OwnCluster.h"
#include "support/TestDatabase.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace {

// The socket option as the kernel holds it for the connection's socket.
int socketOption(const QString& name, int level, int option) {
    const QVariant handle = QSqlDatabase::database(name, false).driver()->handle();
    auto* conn = *static_cast<PGconn* const*>(handle.constData());
    int value = -1;
    socklen_t size = sizeof value;
    if (!conn || getsockopt(PQsocket(conn), level, option, &value, &size) != 0)
        return -1;
    return value;
}

} // namespace

// Over TCP, the TLS setting of the connection string decides whether the
// connection is encrypted, as the server sees it; a CA file that signed no
// such certificate is refused; the keepalives and the user timeout are set
// on the very socket, so a cut cable is found.
TEST(TlsTest, SslModeDecidesEncryptionAndKeepalivesReachTheSocket) {
    SHOP_REQUIRE_ENGINE(Engine::Postgres); // needs the server's programs
    OwnCluster cluster(OwnCluster::Options{.tcp = true, .port = 55442});
    ASSERT_TRUE(cluster.start().ok());
    auto shop = cluster.createShop(QStringLiteral("shop_tls"), true);
    ASSERT_TRUE(shop.ok()) << shop.error().toStdString();
    const QString name = QStringLiteral("tls");
    const QString ca = ConnectionSpec::quoteValue(cluster.caFile());
    const struct {
        QString settings;
        bool encrypted;
    } cases[] = {
        {QString(), true}, // libpq's prefer takes TLS where the server offers it
        {QStringLiteral("SSL Mode=disable;"), false},
        {QStringLiteral("SSL Mode=require;"), true},
        {QStringLiteral("SSL Mode=verify-ca;SSL Root Cert=") + ca + u';', true},
        {QStringLiteral("sslmode=verify-full;sslrootcert=") + ca + u';', true},
    };
    for (const auto& c : cases) {
        const Status opened = Connection::open(shop.value() + c.settings, name);
        ASSERT_TRUE(opened.ok()) << c.settings.toStdString() << ": "
                                 << opened.error().toStdString();
        auto encrypted = Db(name).encrypted();
        ASSERT_TRUE(encrypted.ok()) << encrypted.error().toStdString();
        EXPECT_EQ(encrypted.value(), std::optional<bool>(c.encrypted)) << c.settings.toStdString();
        // a second connection to the same database keeps the TLS settings
        auto target = Connection::targetOf(name);
        ASSERT_TRUE(target.has_value());
        EXPECT_EQ(target->sslRootCert.isEmpty(),
                  !c.settings.contains(u"cert", Qt::CaseInsensitive));
    }

    EXPECT_EQ(socketOption(name, SOL_SOCKET, SO_KEEPALIVE), 1);
    EXPECT_EQ(socketOption(name, IPPROTO_TCP, TCP_KEEPIDLE), Connection::KeepaliveIdleSeconds);
    EXPECT_EQ(socketOption(name, IPPROTO_TCP, TCP_KEEPINTVL), Connection::KeepaliveIntervalSeconds);
    EXPECT_EQ(socketOption(name, IPPROTO_TCP, TCP_KEEPCNT), Connection::KeepaliveCount);
    EXPECT_EQ(socketOption(name, IPPROTO_TCP, TCP_USER_TIMEOUT), Connection::TcpUserTimeoutMs);
    Connection::close(name);

    // a CA file that is not the server's: verify-ca refuses the server
    QTemporaryDir other;
    const QString wrongCa = other.filePath(QStringLiteral("other.crt"));
    ASSERT_EQ(system(QStringLiteral("openssl req -new -x509 -days 1 -nodes -subj /CN=other "
                                    "-keyout %1/k -out %2 >/dev/null 2>&1")
                         .arg(other.path(), wrongCa)
                         .toLocal8Bit()
                         .constData()),
              0);
    EXPECT_FALSE(Connection::open(shop.value() +
                                      QStringLiteral("SSL Mode=verify-ca;SSL Root Cert=") +
                                      wrongCa + u';',
                                  name)
                     .ok());
    Connection::close(name);
}
