#pragma once

#include "store/Clock.h"
#include "store/LoginContext.h"
#include "support/ModalStandIns.h"
#include "support/TestDatabase.h"

#include <QTest>
#include <QVariant>
#include <memory>

// Window tests: real widgets on the offscreen platform over a fresh SQLite
// file, prompts answered and read through the recorder.
class MemberWindowTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Clock::setFixed(QDateTime(QDate(2026, 5, 20), QTime(10, 30, 0)));
        login.adminName = QStringLiteral("店长");
        login.permissions = PermissionFlags::all();
        prompts = std::make_unique<PromptRecorder>();
    }
    void TearDown() override {
        prompts.reset();
        Clock::setFixed({});
        EngineTest::TearDown();
    }

    void addType(const QString& name, const char* fee) {
        execOk(QStringLiteral("insert into 会员类型(名称,可借数量,折扣,开户费,有效期限制,"
                              "归还时租金卡内扣除,免押金,免租金) values(?,?,?,?,?,?,?,?)"),
               {name, 5, QVariant::fromValue(Money::fromInt(1)),
                QVariant::fromValue(*Money::parse(QString::fromLatin1(fee))), false, true, false,
                false});
    }
    void addMember(const QString& card, const QString& name, const char* balance = "0") {
        execOk(QStringLiteral("insert into 会员库(会员卡号,会员姓名,会员类型,会员性别,卡内金额,"
                              "会员积分,状态) values(?,?,?,?,?,?,?)"),
               {card, name, QStringLiteral("金卡"), QStringLiteral("男"),
                QVariant::fromValue(*Money::parse(QString::fromLatin1(balance))),
                QVariant::fromValue(Money::fromInt(3)), QStringLiteral("正常")});
    }
    Money balanceOf(const QString& card) {
        auto b = db.scalarMoney(QStringLiteral("select 卡内金额 from 会员库 where 会员卡号 = ?"),
                                {card});
        EXPECT_TRUE(b.ok());
        return b.ok() ? b.value() : Money::fromInt(-999999);
    }

    LoginContext login;
    std::unique_ptr<PromptRecorder> prompts;
};

// Types text key by key, Chinese included (QTest::keyClicks knows only ASCII).
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

#define SHOP_ON_SQLITE(Suite)                                                                      \
    INSTANTIATE_TEST_SUITE_P(Windows, Suite, ::testing::Values(Engine::Sqlite), engineName)
