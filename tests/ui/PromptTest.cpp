#include "ui/Prompt.h"
#include "store/Translations.h"
#include "support/TestDatabase.h"
#include "ui/PromptRecorder.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <gtest/gtest.h>

using Kind = PromptRecorder::Kind;

TEST(PromptRecorderTest, RecordsEveryKindWithCaptionAndTextInOrder) {
    PromptRecorder recorder;
    EXPECT_TRUE(recorder.lastText().isEmpty());
    Prompt::information(nullptr, QStringLiteral("保存成功!"));
    Prompt::warning(nullptr, QStringLiteral("没有权限!"));
    Prompt::error(nullptr, QStringLiteral("数据库连接失败,选择数据库."), QStringLiteral("连接"));
    EXPECT_FALSE(Prompt::question(nullptr, QStringLiteral("确认要退出吗?")));
    ASSERT_EQ(recorder.shown().size(), 4);
    EXPECT_EQ(recorder.shown()[0].kind, Kind::Information);
    EXPECT_EQ(recorder.shown()[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(recorder.shown()[1].kind, Kind::Warning);
    EXPECT_EQ(recorder.shown()[1].caption, QStringLiteral("警告"));
    EXPECT_EQ(recorder.shown()[2].kind, Kind::Error);
    EXPECT_EQ(recorder.shown()[2].caption, QStringLiteral("连接"));
    EXPECT_EQ(recorder.shown()[3].kind, Kind::Question);
    EXPECT_EQ(recorder.shown()[3].caption, QStringLiteral("请确认"));
    EXPECT_EQ(recorder.texts(),
              (QStringList{QStringLiteral("保存成功!"), QStringLiteral("没有权限!"),
                           QStringLiteral("数据库连接失败,选择数据库."),
                           QStringLiteral("确认要退出吗?")}));
    EXPECT_EQ(recorder.lastText(), QStringLiteral("确认要退出吗?"));
    recorder.clear();
    EXPECT_TRUE(recorder.shown().isEmpty());
    EXPECT_TRUE(recorder.lastText().isEmpty());
}

TEST(PromptRecorderTest, AnswersQuestionsTextsAndFileNamesFromItsQueues) {
    PromptRecorder recorder;
    recorder.setNextAnswer(true);
    recorder.setNextAnswer(false);
    EXPECT_TRUE(Prompt::question(nullptr, QStringLiteral("a")));
    EXPECT_FALSE(Prompt::question(nullptr, QStringLiteral("b")));
    EXPECT_FALSE(Prompt::question(nullptr, QStringLiteral("unanswered")));

    recorder.setNextText(QStringLiteral("100"));
    recorder.setNextText(std::nullopt);
    EXPECT_EQ(Prompt::text(nullptr, QStringLiteral("库存修改"), QStringLiteral("新库存")),
              std::optional<QString>(QStringLiteral("100")));
    EXPECT_EQ(Prompt::text(nullptr, QStringLiteral("库存修改"), QStringLiteral("新库存")),
              std::nullopt);
    EXPECT_EQ(Prompt::text(nullptr, QStringLiteral("x"), QStringLiteral("y")), std::nullopt);

    recorder.setNextFileName(QStringLiteral("/tmp/a.xlsx"));
    EXPECT_EQ(Prompt::saveFileName(nullptr, QStringLiteral("导出"), QStringLiteral("会员.xlsx"),
                                   QStringLiteral("*.xlsx")),
              QStringLiteral("/tmp/a.xlsx"));
    EXPECT_TRUE(Prompt::saveFileName(nullptr, QStringLiteral("导出"), QStringLiteral("b.xlsx"),
                                     QStringLiteral("*.xlsx"))
                    .isEmpty());
    ASSERT_EQ(recorder.shown().size(), 8);
    EXPECT_EQ(recorder.shown()[3].kind, Kind::Text);
    EXPECT_EQ(recorder.shown()[3].text, QStringLiteral("新库存"));
    EXPECT_EQ(recorder.shown()[6].kind, Kind::FileName);
}

TEST(PromptRecorderTest, InnerRecorderTakesOverAndHandsBack) {
    PromptRecorder outer;
    {
        PromptRecorder inner;
        Prompt::information(nullptr, QStringLiteral("inner"));
        EXPECT_EQ(inner.texts(), QStringList{QStringLiteral("inner")});
    }
    Prompt::information(nullptr, QStringLiteral("outer"));
    EXPECT_EQ(outer.texts(), QStringList{QStringLiteral("outer")});
    EXPECT_EQ(PromptRecorder::active(), &outer);
}

TEST(QtTranslations, StandardButtonsSpeakChinese) {
    ASSERT_TRUE(Translations::installQtChinese(*QCoreApplication::instance()))
        << "qtbase_zh_CN is missing (package qt6-translations-l10n)";
    QDialogButtonBox box(QDialogButtonBox::Cancel | QDialogButtonBox::Open);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    EXPECT_EQ(box.button(QDialogButtonBox::Open)->text(), QStringLiteral("打开"));
}
