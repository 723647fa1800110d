#pragma once

#include "core/RentalFixture.h"
#include "support/ModalStandIns.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <memory>

// A counter window (TRentFm, TReturnFm) on the rental shop, driven as the
// user does: Enter in the entries, clicks and double clicks on the lines.
// The window is created by the test (open()), after its own setup.
template <class Fm> class CounterWindowTest : public RentalTest {
protected:
    void TearDown() override {
        fm.reset();
        RentalTest::TearDown();
    }

    void open() {
        fm = std::make_unique<Fm>(login);
        fm->show();
    }
    void lookUp(const QString& card) {
        fm->cardEntry()->setText(card);
        QTest::keyClick(fm->cardEntry(), Qt::Key_Return);
    }
    void scan(const QString& barcode) {
        fm->barcodeEntry()->setText(barcode);
        QTest::keyClick(fm->barcodeEntry(), Qt::Key_Return);
    }
    QString cell(int row, int column) {
        return fm->lines()->model()->index(row, column).data().toString();
    }
    int lineCount() { return fm->lines()->model()->rowCount(); }
    void doubleClickLine(int row) {
        fm->lines()->selectRow(row);
        const QRect r = fm->lines()->visualRect(fm->lines()->model()->index(row, 0));
        QTest::mouseDClick(fm->lines()->viewport(), Qt::LeftButton, {}, r.center());
    }

    // The window's widgets of type W in tab order (the focus chain).
    template <class W> QList<QWidget*> inTabOrder() {
        QList<QWidget*> found;
        for (QWidget* w = fm->nextInFocusChain(); w && w != fm.get(); w = w->nextInFocusChain())
            if (qobject_cast<W*>(w))
                found.append(w);
        return found;
    }

    // What both counters show alike: the "未还数量" hint and the buttons
    // after the booking one, none of which Enter presses.
    void expectSharedControls(QPushButton* book) {
        EXPECT_EQ(fm->unreturnedBox()->toolTip(), QStringLiteral("双击查看未还信息"));
        EXPECT_EQ(inTabOrder<QPushButton>(),
                  (QList<QWidget*>{book, fm->removeButton(), fm->closeButton()}));
        EXPECT_EQ(fm->removeButton()->text(), QStringLiteral("取消"));
        EXPECT_EQ(fm->closeButton()->text(), QStringLiteral("关闭"));
        for (QPushButton* b : {book, fm->removeButton(), fm->closeButton()})
            EXPECT_FALSE(b->autoDefault() || b->isDefault()) << b->text().toStdString();
        EXPECT_EQ(fm->lines()->editTriggers(), QAbstractItemView::NoEditTriggers);
        EXPECT_EQ(fm->lines()->selectionBehavior(), QAbstractItemView::SelectRows);
    }

    LoginContext login;
    PromptRecorder prompts;
    // A window opened without a test's own runner fails instead of blocking.
    WindowRunner unexpected{[](QDialog* d) {
        ADD_FAILURE() << "unexpected window " << d->windowTitle().toStdString();
        d->reject();
    }};
    std::unique_ptr<Fm> fm;
};
