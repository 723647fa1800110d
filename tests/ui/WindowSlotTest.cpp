#include "ui/WindowSlot.h"
#include "support/ModalStandIns.h"

#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

class NoteFm : public QDialog {
public:
    explicit NoteFm(QWidget* parent = nullptr) : QDialog(parent), edit(new QLineEdit(this)) {
        edit->setText(QStringLiteral("初始"));
        (new QVBoxLayout(this))->addWidget(edit);
    }
    QLineEdit* edit;
};

} // namespace

TEST(WindowSlotTest, WindowIsDestroyedAfterCloseAndReopeningStartsFresh) {
    WindowSlot<NoteFm> slot;
    EXPECT_FALSE(slot.isOpen());
    int created = 0;
    QPointer<NoteFm> first;
    QString seen;
    {
        WindowRunner scope([&](QDialog* d) {
            auto* fm = dynamic_cast<NoteFm*>(d);
            ASSERT_NE(fm, nullptr);
            EXPECT_TRUE(fm->isVisible());
            EXPECT_TRUE(slot.isOpen());
            EXPECT_EQ(slot.window(), fm);
            seen = fm->edit->text();
            fm->edit->clear();
            QTest::keyClicks(fm->edit, QStringLiteral("changed"));
            first = fm;
            fm->accept();
        });
        const int result = slot.open([&] {
            ++created;
            return new NoteFm;
        });
        EXPECT_EQ(result, QDialog::Accepted);
    }
    EXPECT_EQ(seen, QStringLiteral("初始"));
    EXPECT_TRUE(first.isNull()) << "the window must be deleted after it closes";
    EXPECT_FALSE(slot.isOpen());
    EXPECT_EQ(slot.window(), nullptr);

    WindowRunner scope([&](QDialog* d) {
        auto* fm = static_cast<NoteFm*>(d);
        seen = fm->edit->text();
        d->reject();
    });
    EXPECT_EQ(slot.open([&] {
        ++created;
        return new NoteFm;
    }),
              QDialog::Rejected);
    EXPECT_EQ(created, 2);
    EXPECT_EQ(seen, QStringLiteral("初始")) << "a reopened window must start fresh";
    EXPECT_FALSE(slot.isOpen());
}

TEST(WindowSlotTest, WindowDeletedByItselfLeavesTheSlotEmpty) {
    WindowSlot<NoteFm> slot;
    WindowRunner scope([](QDialog* d) {
        d->setAttribute(Qt::WA_DeleteOnClose);
        d->close();
        delete d;
    });
    EXPECT_EQ(slot.open([] { return new NoteFm; }), QDialog::Rejected);
    EXPECT_FALSE(slot.isOpen());
}

TEST(WindowSlotTest, OpeningARunningWindowDoesNotCreateASecond) {
    WindowSlot<NoteFm> slot;
    int created = 0;
    auto factory = [&] {
        ++created;
        return new NoteFm;
    };
    WindowRunner scope([&](QDialog* d) {
        slot.open(factory); // e.g. the menu item chosen again
        d->reject();
    });
    slot.open(factory);
    EXPECT_EQ(created, 1);
    EXPECT_FALSE(slot.isOpen());
}

TEST(ModalSeamTest, NestedRunnersAndNestedWindows) {
    QStringList order;
    WindowRunner outer([&](QDialog* d) {
        order << d->objectName();
        if (d->objectName() == QStringLiteral("parent")) {
            QDialog child(d);
            child.setObjectName(QStringLiteral("child"));
            EXPECT_EQ(ModalSeam::run(&child), QDialog::Accepted);
            d->reject();
        } else {
            d->accept();
        }
    });
    QDialog parent;
    parent.setObjectName(QStringLiteral("parent"));
    EXPECT_EQ(ModalSeam::run(&parent), QDialog::Rejected);
    EXPECT_FALSE(parent.isVisible());
    EXPECT_EQ(order, (QStringList{QStringLiteral("parent"), QStringLiteral("child")}));
    {
        WindowRunner inner([&](QDialog* d) {
            order << QStringLiteral("inner");
            d->done(7);
        });
        QDialog other;
        EXPECT_EQ(ModalSeam::run(&other), 7);
    }
    EXPECT_EQ(order.last(), QStringLiteral("inner"));
}
