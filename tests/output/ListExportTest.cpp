#include "core/ExcelFixture.h"
#include "output/ListOutput.h"
#include "output/TDmFm.h"
#include "support/ModalStandIns.h"

class ListExportTest : public ExcelExportTest {
protected:
    void SetUp() override {
        ExcelExportTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        TDmFm& dm = TDmFm::current();
        dm.exportFolder = dir.path() + QStringLiteral("/导出");
        dm.openFile = [this](const QString& path) {
            opened << path;
            return canOpen;
        };
        Clock::setFixed(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
    }
    void TearDown() override {
        TDmFm::current().reset();
        Clock::setFixed({});
        ExcelExportTest::TearDown();
    }
    // caption|text of every message shown
    QStringList messages() const {
        QStringList all;
        for (const PromptRecorder::Shown& shown : prompts.shown())
            all << shown.caption + u'|' + shown.text;
        return all;
    }
    PromptRecorder prompts;
    QStringList opened;
    bool canOpen = true;
};
SHOP_ON_BOTH_ENGINES(ListExportTest);

TEST_P(ListExportTest, WritesIntoTheExportFolderAndOpensTheWorkbook) {
    const QString path = ListOutput::exportToExcel(nullptr, members(), QStringLiteral("会员库"));
    EXPECT_EQ(path, dir.path() + QStringLiteral("/导出/会员库_20260304_050607.xlsx"));
    EXPECT_EQ(opened, QStringList{path});
    EXPECT_TRUE(messages().isEmpty()) << messages().join(u'\n').toStdString();
    const auto rows = readBack(path);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(typed(cellAt(rows, 0, 0)), "QString 会员卡号");
    EXPECT_EQ(typed(cellAt(rows, 3, 0)), "QString 0003");
    // a second export in the same second does not overwrite the first
    const QString second = ListOutput::exportToExcel(nullptr, members(), QStringLiteral("会员库"));
    EXPECT_EQ(second, dir.path() + QStringLiteral("/导出/会员库_20260304_050607_2.xlsx"));
}

TEST_P(ListExportTest, NoApplicationSaysSoAndWhereTheFileIs) {
    canOpen = false;
    const QString path = ListOutput::exportToExcel(nullptr, members());
    ASSERT_FALSE(path.isEmpty());
    const auto rows = readBack(path); // the file is saved whole all the same
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(typed(cellAt(rows, 2, 1)), "QString 李四");
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0], QStringLiteral("错误|系统没excel，不能导出Excel！\n文件已保存在：") +
                                 QDir::toNativeSeparators(path));
}

TEST_P(ListExportTest, DatabaseErrorIsShownAndNothingOpened) {
    const QString path = ListOutput::exportToExcel(
        nullptr, {QStringLiteral("select * from 没有的表"), {}, Connection::Shared});
    EXPECT_TRUE(path.isEmpty());
    EXPECT_TRUE(opened.isEmpty());
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].startsWith(QStringLiteral("错误|导出Excel失败：")));
    EXPECT_TRUE(QDir(TDmFm::current().exportFolder).entryList(QDir::Files).isEmpty());
}
