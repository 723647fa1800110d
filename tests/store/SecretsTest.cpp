#include "shop-admin/core/AdminCommand.h"
#include "store/Connection.h"
#include "store/Db.h"
#include "store/IniFile.h"
#include "store/Schema.h"
#include "store/ShopConfig.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

} // namespace

TEST(ConnectionString, QuotedValuesReadBackAsWrittenAndEveryPasswordIsMasked) {
    for (const QString& password :
         {QStringLiteral("p;w"), QStringLiteral("  blanks  "), QStringLiteral("say \"hi\""),
          QStringLiteral("'single"), QStringLiteral("plain"), QString()}) {
        const QString text = QStringLiteral("Provider=PostgreSQL;Password=") +
                             ConnectionSpec::quoteValue(password) +
                             QStringLiteral(";User ID=kasse;Initial Catalog=shop;Data Source=h");
        auto parsed = ConnectionSpec::parse(text, QString());
        ASSERT_TRUE(parsed.ok()) << text.toStdString();
        EXPECT_EQ(parsed.value().password, password) << text.toStdString();
        EXPECT_EQ(parsed.value().user, QStringLiteral("kasse"));
        EXPECT_EQ(
            ConnectionSpec::masked(text),
            QStringLiteral("Provider=PostgreSQL;Password=***;User ID=kasse;Initial Catalog=shop;"
                           "Data Source=h"));
    }
    EXPECT_EQ(ConnectionSpec::masked(QStringLiteral("pwd = 'a;b' ;PASSWORD=c")),
              QStringLiteral("pwd = *** ;PASSWORD=***"));

    // an unknown provider's error shows the string, but not the password
    auto unknown = ConnectionSpec::parse(QStringLiteral("Provider=Oracle;Password=geheim;X=1"), {});
    ASSERT_FALSE(unknown.ok());
    EXPECT_EQ(unknown.error(),
              QStringLiteral("无法识别的连接字符串: Provider=Oracle;Password=***;X=1"));
}

TEST(ConnectionString, BadFileNamesAndTlsSettingsAreRefusedWithTheReason) {
    const struct {
        QString text;
        QString error;
    } cases[] = {
        {QStringLiteral("Provider=SQLite;Data Source=a") + QChar(0) + QStringLiteral("b.db"),
         QStringLiteral("连接字符串的数据库文件名中不能含有空字符 (NUL)")},
        {QStringLiteral("Provider=PostgreSQL;Data Source=h;Initial Catalog=d;SSL Mode=always"),
         QStringLiteral("连接字符串的 SSL Mode 不正确: always (可用: disable, allow, prefer, "
                        "require, verify-ca, verify-full)")},
        {QStringLiteral("Provider=PostgreSQL;Data Source=h;Initial Catalog=d;sslmode=verify-ca;"
                        "sslrootcert=\"a;b.crt\""),
         QStringLiteral("连接字符串的证书文件名中不能含有 \";\" 或空字符: a;b.crt")},
    };
    for (const auto& c : cases) {
        auto parsed = ConnectionSpec::parse(c.text, QDir::tempPath());
        ASSERT_FALSE(parsed.ok()) << c.text.toStdString();
        EXPECT_EQ(parsed.error(), c.error);
    }
    // libpq's default when nothing is said
    auto plain = ConnectionSpec::parse(
        QStringLiteral("Provider=PostgreSQL;Data Source=h;Initial Catalog=d"), {});
    ASSERT_TRUE(plain.ok());
    EXPECT_TRUE(plain.value().sslMode.isEmpty());
    EXPECT_FALSE(Connection::postgresOptions(plain.value(), {}).contains(u"sslmode"));
}

TEST(IniFile, IsWrittenForItsOwnerOnlyOnEverySave) {
    QTemporaryDir dir;
    const QString fresh = dir.filePath(QStringLiteral("new.ini"));
    const QString old = writeFile(dir.filePath(QStringLiteral("de.ini")), "[part1]\nabc=a\n");
    ASSERT_TRUE(QFile::setPermissions(old, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                               QFile::ReadOther));
    const auto ownerOnly =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    for (const QString& path : {fresh, old}) {
        for (int save = 0; save < 2; ++save) {
            IniFile ini(path);
            ASSERT_TRUE(ini.write(QStringLiteral("part1"), QStringLiteral("PassWord"),
                                  QStringLiteral("geheim%1").arg(save))
                            .ok());
            EXPECT_EQ(QFile::permissions(path), ownerOnly) << path.toStdString();
        }
    }
}

TEST(IniFile, AUtf8FileWithAStrayByteIsReadAsUtf8AndTheLineNamedAndKept) {
    QTemporaryDir dir;
    const QByteArray stray = "[part1]\nsoftname=\xe4\xb9\xa6\xe5\xba\x97\n"
                             "tel=12\xff\n"
                             "addr=\xe5\x8c\x97\xe4\xba\xac\n";
    const QString path = writeFile(dir.filePath(QStringLiteral("de.ini")), stray);
    const IniDocument doc = IniFile(path).load();
    EXPECT_EQ(doc.encoding(), IniDocument::Encoding::Utf8);
    EXPECT_EQ(doc.value(QStringLiteral("part1"), QStringLiteral("softname"), {}),
              QStringLiteral("书店"));
    EXPECT_EQ(doc.badLines(), QList<int>{3});
    EXPECT_EQ(ShopConfig::load(IniFile(path)).iniNotice,
              QStringLiteral("de.ini 第 3 行含有不是 UTF-8 的字节, 这些行按原样保留, "
                             "其中的文字可能显示不正确."));
    IniFile ini(path);
    ASSERT_TRUE(ini.write(QStringLiteral("part1"), QStringLiteral("addr"), QStringLiteral("上海")));
    EXPECT_EQ(readFile(path), QByteArray("[part1]\nsoftname=\xe4\xb9\xa6\xe5\xba\x97\n"
                                         "tel=12\xff\naddr=\xe4\xb8\x8a\xe6\xb5\xb7\n"));

    // GB18030 text stays GB18030: its characters are no UTF-8
    const QByteArray gb = "[part1]\nsoftname=\xca\xe9\xb5\xea\naddr=\xb1\xb1\xbe\xa9\n";
    writeFile(path, gb);
    EXPECT_EQ(IniFile(path).load().encoding(), IniDocument::Encoding::Gb18030);
    EXPECT_TRUE(ShopConfig::load(IniFile(path)).iniNotice.isEmpty());
}

// Run as root, a file's permissions never stop a write: a read-only bind
// mount of the file's folder is what a shop meets on a write-protected
// share or a disk mounted read-only.
TEST(Connection, AReadOnlyDatabaseFileIsFoundWhenOpened) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("rw"));
    const QString mounted = dir.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkpath(source) && QDir().mkpath(mounted));
    const QString file = QDir(source).filePath(QStringLiteral("shop.db"));
    {
        ConnectionSpec target;
        target.file = file;
        ASSERT_TRUE(Connection::open(target, QStringLiteral("ro-make")).ok());
        ASSERT_TRUE(Schema::create(Db(QStringLiteral("ro-make"))).ok());
        Connection::close(QStringLiteral("ro-make"));
    }
    if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("--bind"), QStringLiteral("-o"),
                                                    QStringLiteral("ro"), source, mounted}) != 0)
        GTEST_SKIP() << "no read-only bind mount here (needs root)";
    struct Unmount {
        QString folder;
        ~Unmount() { QProcess::execute(QStringLiteral("umount"), {folder}); }
    } unmount{mounted};
    const QString readOnly = QDir(mounted).filePath(QStringLiteral("shop.db"));
    const Status opened =
        Connection::open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + readOnly,
                         QStringLiteral("ro-open"));
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(opened.error(), Connection::readOnlyMessage(readOnly));
    EXPECT_EQ(opened.error(),
              QStringLiteral("数据库文件是只读的, 不能在其中登记任何业务: %1. 请让这个文件 "
                             "(和它所在的文件夹) 可以写入, 然后重新启动软件.")
                  .arg(readOnly));
    EXPECT_FALSE(QSqlDatabase::contains(QStringLiteral("ro-open")));
    // a command that only reads may still look at it
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    EXPECT_EQ(AdminCommand::run({QStringLiteral("check"),
                                 QStringLiteral("Provider=SQLite;Data Source=") + readOnly},
                                out, err),
              0)
        << errText.toStdString();
}
