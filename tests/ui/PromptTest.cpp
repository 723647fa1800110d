#include "ui/Prompt.h"
#include "store/Translations.h"
#include "support/ModalStandIns.h"
#include "support/TestDatabase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using Kind = PromptRecorder::Kind;

TEST(PromptTest, RecordsEveryKindWithCaptionAndTextInOrder) {
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

TEST(PromptTest, AnswersQuestionsTextsAndFileNamesFromItsQueues) {
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

// With no stand-in the boxes are shown for real, with the program's own
// button captions, and wait for the user.
TEST(ModalSeamTest, WithoutAStandInTheBoxesAreShownWithTheirOwnButtons) {
    struct Case {
        std::function<QVariant()> ask;
        QMessageBox::Icon icon;
        QStringList buttons;
        QString press; // the button the user presses
        QVariant answer;
    };
    const QList<Case> cases = {
        {[] {
             Prompt::information(nullptr, QStringLiteral("完成!"));
             return QVariant();
         },
         QMessageBox::Information,
         {QStringLiteral("确定")},
         QStringLiteral("确定"),
         {}},
        {[] {
             Prompt::warning(nullptr, QStringLiteral("没有权限!"));
             return QVariant();
         },
         QMessageBox::Warning,
         {QStringLiteral("确定")},
         QStringLiteral("确定"),
         {}},
        {[] {
             Prompt::error(nullptr, QStringLiteral("失败"));
             return QVariant();
         },
         QMessageBox::Critical,
         {QStringLiteral("确定")},
         QStringLiteral("确定"),
         {}},
        {[] { return QVariant(Prompt::question(nullptr, QStringLiteral("确认要退出吗?"))); },
         QMessageBox::Question,
         {QStringLiteral("是(&Y)"), QStringLiteral("否(&N)")},
         QStringLiteral("是(&Y)"),
         true},
        {[] { return QVariant(Prompt::question(nullptr, QStringLiteral("确认要退出吗?"))); },
         QMessageBox::Question,
         {QStringLiteral("是(&Y)"), QStringLiteral("否(&N)")},
         QStringLiteral("否(&N)"),
         false},
    };
    for (const Case& c : cases) {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            icon = box->icon();
            QAbstractButton* press = nullptr;
            for (QAbstractButton* button : box->buttons()) {
                buttons << button->text();
                if (button->text() == c.press)
                    press = button;
            }
            ASSERT_NE(press, nullptr);
            press->click();
        });
        EXPECT_EQ(c.ask(), c.answer) << c.press.toStdString();
        EXPECT_EQ(icon, c.icon);
        buttons.sort();
        QStringList expected = c.buttons;
        expected.sort();
        EXPECT_EQ(buttons, expected);
    }
}

TEST(ModalSeamTest, StandInsNestAndPassOnWhatTheyDoNotTake) {
    PromptRecorder outer;
    QStringList windows;
    {
        WindowRunner runner([&](QDialog* d) {
            windows << d->objectName();
            // a message from inside the window still reaches the recorder
            Prompt::information(d, QStringLiteral("from the window"));
            d->accept();
        });
        QDialog dialog;
        dialog.setObjectName(QStringLiteral("first"));
        EXPECT_EQ(ModalSeam::run(&dialog), QDialog::Accepted);
        EXPECT_FALSE(dialog.isVisible());
        {
            PromptRecorder inner;
            Prompt::information(nullptr, QStringLiteral("inner"));
            dialog.setObjectName(QStringLiteral("second"));
            ModalSeam::run(&dialog);
            EXPECT_EQ(inner.texts(),
                      (QStringList{QStringLiteral("inner"), QStringLiteral("from the window")}));
        }
    }
    Prompt::information(nullptr, QStringLiteral("outer"));
    EXPECT_EQ(windows, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    EXPECT_EQ(outer.texts(),
              (QStringList{QStringLiteral("from the window"), QStringLiteral("outer")}));

    // one that ends out of turn leaves the others in force
    auto middle = std::make_unique<PromptRecorder>();
    WindowRunner last([](QDialog* d) { d->done(7); });
    middle.reset();
    Prompt::information(nullptr, QStringLiteral("after"));
    EXPECT_EQ(outer.lastText(), QStringLiteral("after"));
    QDialog other;
    EXPECT_EQ(ModalSeam::run(&other), 7);
}

TEST(QtTranslations, StandardButtonsSpeakChinese) {
    ASSERT_TRUE(Translations::installQtChinese(*QCoreApplication::instance()))
        << "qtbase_zh_CN is missing (package qt6-translations-l10n)";
    QDialogButtonBox box(QDialogButtonBox::Cancel | QDialogButtonBox::Open);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    EXPECT_EQ(box.button(QDialogButtonBox::Open)->text(), QStringLiteral("打开"));
}
