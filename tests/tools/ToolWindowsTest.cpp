#include "store/Connection.h"
#include "store/Schema.h"
#include "support/ModalStandIns.h"
#include "support/TestDatabase.h"
#include "tools/TBackupFm.h"
#include "tools/TImportMdbFm.h"
#include "tools/TRestoreFm.h"
#include "tools/core/Backup.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

// The windows of the menu 工具 over a fresh database, de.ini beside it.
class ToolWindowTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        login.adminName = QStringLiteral("超级管理员");
        login.config.iniPath = QDir(database->folder()).filePath(QStringLiteral("de.ini"));
        login.config.connectionString = database->connectionString();
        execOk(QStringLiteral("insert into 收入记录(项目, 金额) values('租金', ?)"),
               {QVariant::fromValue(*Money::parse(u"3.25"))});
    }
    QString backupFolder() const { return Backup::automaticFolder(login.config.iniPath); }

    LoginContext login;
    PromptRecorder prompts;
};
SHOP_ON_BOTH_ENGINES(ToolWindowTest);

TEST_P(ToolWindowTest, ABackupGoesToTheChosenFileAndAnExistingOneOnlyWhenAllowed) {
    TBackupFm window(login);
    window.show();
    // offered: a new file in the folder of backups beside de.ini
    const QString offered = QDir::fromNativeSeparators(window.fileBox()->text());
    EXPECT_EQ(QFileInfo(offered).absolutePath(), QFileInfo(backupFolder()).absoluteFilePath());
    EXPECT_TRUE(QFileInfo(offered).fileName().startsWith(QStringLiteral("备份_")));
    QTest::mouseClick(window.backupButton(), Qt::LeftButton);
    ASSERT_EQ(prompts.shown().size(), 1);
    EXPECT_TRUE(prompts.lastText().startsWith(QStringLiteral("数据已备份并核对无误:")))
        << prompts.lastText().toStdString();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    ASSERT_TRUE(Backup::check(offered).ok());

    // the same file again: asked first, and No keeps it as it is
    TBackupFm again(login);
    again.show();
    again.fileBox()->setText(offered);
    const qint64 before = QFileInfo(offered).lastModified().toMSecsSinceEpoch();
    prompts.clear();
    prompts.setNextAnswer(false);
    QTest::mouseClick(again.backupButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("文件 %1 已经存在, 要覆盖它吗?")
                                               .arg(QDir::toNativeSeparators(offered))});
    EXPECT_EQ(QFileInfo(offered).lastModified().toMSecsSinceEpoch(), before);
    EXPECT_TRUE(again.isVisible());
}

TEST_P(ToolWindowTest, ARestoreListsTheBackupsAndPutsTheChosenOneInPlace) {
    const QString file = QDir(backupFolder()).filePath(QStringLiteral("备份_1.bak"));
    QDir().mkpath(backupFolder());
    ASSERT_TRUE(Backup::make(db, file).ok());
    execOk(QStringLiteral("delete from 收入记录"));
    TRestoreFm window(login);
    window.show();
    ASSERT_EQ(window.backupList()->count(), 1);
    EXPECT_TRUE(window.details()->text().startsWith(QStringLiteral("数据库版本 5, 20 张表")))
        << window.details()->text().toStdString();
    prompts.setNextAnswer(true);
    QTest::mouseClick(window.restoreButton(), Qt::LeftButton);
    ASSERT_EQ(prompts.shown().size(), 2) << prompts.texts().join(u'|').toStdString();
    EXPECT_TRUE(prompts.lastText().startsWith(QStringLiteral("数据已恢复并核对无误:")))
        << prompts.lastText().toStdString();
    EXPECT_TRUE(prompts.lastText().endsWith(QStringLiteral("软件将退出, 请重新启动软件.")));
    EXPECT_EQ(window.result(), QDialog::Accepted);
    // the program's connection was given up for the restore
    EXPECT_FALSE(QSqlDatabase::contains(Connection::Shared) && Db().isOpen());
    ASSERT_TRUE(database->openConnection(QStringLiteral("after")).ok());
    auto income =
        Db(QStringLiteral("after")).scalarMoney(QStringLiteral("select sum(金额) from 收入记录"));
    ASSERT_TRUE(income.ok());
    EXPECT_EQ(income.value(), *Money::parse(u"3.25"));
}

TEST(ToolWindows, TheOldShopMovesInThroughTheImportWindow) {
    TestDatabase database(Engine::Sqlite);
    ASSERT_TRUE(database.create().ok());
    LoginContext login;
    login.config.connectionString = database.connectionString();
    login.config.iniPath = QDir(database.folder()).filePath(QStringLiteral("de.ini"));
    TImportMdbFm::adminProgram() = QStringLiteral(SHOP_ADMIN_PROGRAM);
    PromptRecorder prompts;
    TImportMdbFm window(login);
    window.show();
    EXPECT_FALSE(window.importButton()->isEnabled());
    window.fileBox()->setText(QStringLiteral(SHOP_LEGACY_FIXTURES "/old-shop.mdb"));
    QTest::mouseClick(window.previewButton(), Qt::LeftButton);
    EXPECT_TRUE(window.report()->toPlainText().contains(QStringLiteral("出租库")));
    ASSERT_TRUE(window.importButton()->isEnabled()) << window.report()->toPlainText().toStdString();
    prompts.setNextAnswer(true);
    QTest::mouseClick(window.importButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.lastText(),
              QStringLiteral("导入完成, 报告见窗口中. 软件将退出, 请重新启动软件."))
        << window.report()->toPlainText().toStdString();
    auto members = Db().scalarInteger(QStringLiteral("select count(*) from 会员库"));
    ASSERT_TRUE(members.ok());
    EXPECT_EQ(members.value().value_or(0), 39);
    // the report is kept beside de.ini
    EXPECT_EQ(QDir(database.folder()).entryList({QStringLiteral("导入报告_*.txt")}).size(), 2);
}
