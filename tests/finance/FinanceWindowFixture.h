#pragma once

#include "core/FinanceData.h"
#include "store/LoginContext.h"
#include "support/ModalStandIns.h"

#include <QTest>
#include <memory>

// Window tests: real widgets on the offscreen platform, prompts answered
// and read through the recorder.
class FinanceWindowTest : public FinanceTest {
protected:
    void SetUp() override {
        FinanceTest::SetUp();
        login.adminName = QStringLiteral("店长");
        login.permissions = PermissionFlags::all();
        login.connectionName = db.connectionName();
        prompts = std::make_unique<PromptRecorder>();
    }
    void TearDown() override {
        prompts.reset();
        FinanceTest::TearDown();
    }
    void addType(const char* kind, const char* name) {
        execOk(u("insert into 收支类型(类型,名称) values(?,?)"), {u(kind), u(name)});
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
