#pragma once

#include "store/Clock.h"
#include "store/LoginContext.h"
#include "support/ModalStandIns.h"
#include "support/TestDatabase.h"

#include <QTest>
#include <memory>

// Window tests: real widgets on the offscreen platform over a fresh
// database, an administrator with every permission, the clock fixed, and
// prompts answered and read through the recorder.
class WindowTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Clock::setFixed(QDateTime(QDate(2026, 6, 3), QTime(10, 30, 0)));
        login.adminName = QStringLiteral("店长");
        login.permissions = PermissionFlags::all();
        prompts = std::make_unique<PromptRecorder>();
    }
    void TearDown() override {
        prompts.reset();
        Clock::setFixed({});
        EngineTest::TearDown();
    }

    LoginContext login;
    std::unique_ptr<PromptRecorder> prompts;
};

// Types text key by key, Chinese included (QTest::keyClicks knows only ASCII).
inline void typeInto(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}
