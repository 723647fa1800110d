#include "members/core/MemberBookings.h"
#include "members/core/RechargeBooking.h"
#include "rental/core/RentalLookup.h"
#include "store/IniFile.h"
#include "support/ModalStandIns.h"
#include "support/TestDatabase.h"
#include "ui/ListWindow.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <gtest/gtest.h>

// Hostile text typed into every place that takes text: stored values come
// back as typed or are refused with a message in the system's words, a
// search finds the text literally, and no driver error reaches the user.
namespace {

struct Nasty {
    const char* label;
    QString text;
};

QList<Nasty> nastyInputs() {
    return {
        {"quote", QStringLiteral("O'Brien")},
        {"double_quote", QStringLiteral("say \"hi\"")},
        {"comment", QStringLiteral("x;-- drop table 会员库")},
        {"always_true", QStringLiteral("' or '1'='1")},
        {"percent", QStringLiteral("100%")},
        {"underscore", QStringLiteral("a_b")},
        {"backslash", QStringLiteral("C:\\new\\table")},
        {"long", QString(100000, u'长')},
        {"combining", QStringLiteral("e\u0301le\u0300ve")},
        {"right_to_left",
         QStringLiteral("\u05e9\u05dc\u05d5\u05dd \u0645\u0631\u062d\u0628\u0627")},
        {"emoji", QStringLiteral("书\U0001F4DA碟\U0001F600")},
        {"outside_gbk", QStringLiteral("\U00020000\u0e01\u10a0")},
        {"empty", QString()},
    };
}

// Text that only the data layer's refusal can handle.
QList<Nasty> unstorableInputs() {
    return {
        {"nul", QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b")},
        {"unpaired_surrogate", QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b")},
    };
}

class InputTortureTest : public EngineTest {
protected:
    // Registers card with text in every free-text field; gives the refusal.
    QString registerWith(const QString& card, const QString& text) {
        NewMember m;
        m.card = card;
        m.name = text;
        m.type = QStringLiteral("散客");
        m.address = text;
        m.remark = text;
        Status s = MemberBookings::registerMember(db, m, QStringLiteral("管理员"));
        return s ? QString() : s.error();
    }

    // Rows the member list shows after searching column for typed.
    qint64 searchCount(ListWindow& list, const QString& column, const QString& typed) {
        list.searchBox()->setText(typed);
        list.findChild<QComboBox*>()->setCurrentText(column);
        if (!list.search())
            return -1;
        const ListQuery q = list.currentQuery();
        auto n = db.scalarInteger(u"select count(*) from (" + q.sql + u") as t", q.params);
        EXPECT_TRUE(n.ok()) << n.error().toStdString();
        return n.ok() ? n.value().value_or(0) : -1;
    }
};
SHOP_ON_BOTH_ENGINES(InputTortureTest);

TEST_P(InputTortureTest, MemberTextsRoundTripAndSearchLiterally) {
    const auto inputs = nastyInputs();
    QStringList storedNames;
    for (int i = 0; i < inputs.size(); ++i) {
        const Nasty& in = inputs[i];
        const QString card = QStringLiteral("T%1").arg(i);
        const QString refused = registerWith(card, in.text);
        if (in.text.isEmpty()) {
            EXPECT_EQ(refused, QStringLiteral("字体加重的项目必须填写!")) << in.label;
            continue;
        }
        ASSERT_TRUE(refused.isEmpty()) << in.label << ": " << refused.toStdString();
        auto found = MemberLookup::member(db, card);
        ASSERT_TRUE(found.ok() && found.value()) << in.label;
        EXPECT_EQ(found.value()->name, in.text.trimmed()) << in.label;
        EXPECT_EQ(found.value()->address, in.text.trimmed()) << in.label;
        EXPECT_EQ(found.value()->remark, in.text) << in.label;
        storedNames << in.text.trimmed();

        Member edited = *found.value();
        edited.remark = in.text + in.text.left(10);
        ASSERT_TRUE(MemberBookings::save(db, *found.value(), edited).ok()) << in.label;
        EXPECT_EQ(MemberLookup::member(db, card).value()->remark, edited.remark) << in.label;

        Recharge r{card, in.text, Money::fromInt(5), in.text, {}};
        auto booked = RechargeBooking::book(db, r, QStringLiteral("管理员"));
        ASSERT_TRUE(booked.ok()) << in.label << ": " << booked.error().toStdString();
        auto note = db.select(QStringLiteral("select 说明 from 收入记录 where 会员卡号 = ? and "
                                             "项目 = '充值'"),
                              {card});
        ASSERT_TRUE(note.ok() && note.value().next());
        EXPECT_EQ(note.value().text(QStringLiteral("说明")), RechargeBooking::note(r)) << in.label;
    }

    PromptRecorder prompts;
    ListWindow list(QStringLiteral("会员库"));
    list.setSearchFields({QStringLiteral("会员姓名"), QStringLiteral("住址")});
    for (const Nasty& in : inputs) {
        const QString typed = in.text.trimmed();
        prompts.clear();
        if (typed.size() > Db::MaxSearchLength) {
            EXPECT_EQ(searchCount(list, QStringLiteral("会员姓名"), in.text), -1) << in.label;
            EXPECT_EQ(prompts.lastText(), QStringLiteral("查找内容太长, 最多 200 个字."));
            continue;
        }
        qint64 expected = 0;
        for (const QString& name : storedNames)
            expected += name.contains(typed, Qt::CaseInsensitive);
        // the first rows of the schema hold no member, so every row is ours
        EXPECT_EQ(searchCount(list, QStringLiteral("会员姓名"), in.text), expected) << in.label;
        EXPECT_EQ(searchCount(list, QStringLiteral("住址"), in.text), expected) << in.label;
        EXPECT_TRUE(prompts.shown().isEmpty()) << in.label << prompts.lastText().toStdString();
    }
    EXPECT_EQ(count(QStringLiteral("会员库")), storedNames.size());
}

TEST_P(InputTortureTest, TamperedSearchColumnsAreRefused) {
    ASSERT_TRUE(registerWith(QStringLiteral("T1"), QStringLiteral("张三")).isEmpty());
    PromptRecorder prompts;
    ListWindow list(QStringLiteral("会员库"));
    list.setSearchFields({QStringLiteral("会员姓名")});
    for (const QString& column :
         {QStringLiteral("会员姓名\" or 1=1 --"), QStringLiteral("1) or (1=1"),
          QStringLiteral("会员姓名; drop table 会员库"), QStringLiteral("\"会员姓名\""),
          QStringLiteral("密码 from 管理员 --"), QString()}) {
        prompts.clear();
        EXPECT_EQ(searchCount(list, column, QStringLiteral("张")), -1) << column.toStdString();
        EXPECT_EQ(prompts.lastText(), u"没有这个查找字段: " + column.trimmed())
            << column.toStdString();
    }
    EXPECT_EQ(count(QStringLiteral("会员库")), 1);
}

TEST_P(InputTortureTest, CopySearchFindsTextLiterally) {
    const auto inputs = nastyInputs();
    for (int i = 0; i < inputs.size(); ++i)
        if (!inputs[i].text.isEmpty() && inputs[i].text.size() < 1000)
            execOk(QStringLiteral("insert into 出租库(条形码,商品名称,状态) values(?,?,'待租')"),
                   {inputs[i].text, QStringLiteral("碟%1").arg(i)});
    for (const Nasty& in : inputs) {
        auto copies = RentalLookup::availableCopies(db, in.text, 1000);
        if (in.text.size() > Db::MaxSearchLength) {
            EXPECT_EQ(copies.error(), QStringLiteral("查找内容太长, 最多 200 个字."));
            continue;
        }
        ASSERT_TRUE(copies.ok()) << in.label << ": " << copies.error().toStdString();
        for (const auto& c : copies.value())
            EXPECT_TRUE(c.barcode.contains(in.text, Qt::CaseInsensitive)) << in.label;
        if (!in.text.isEmpty() && in.text.size() < 1000) {
            EXPECT_FALSE(copies.value().isEmpty()) << in.label;
        }
    }
}

// NUL and unpaired surrogates cannot be stored faithfully by either engine:
// they are refused with the data layer's message and nothing is written.
TEST_P(InputTortureTest, UnstorableTextIsRefusedPlainly) {
    ASSERT_TRUE(registerWith(QStringLiteral("M1"), QStringLiteral("张三")).isEmpty());
    const qint64 incomeRows = count(QStringLiteral("收入记录"));
    for (const Nasty& in : unstorableInputs()) {
        EXPECT_EQ(registerWith(QStringLiteral("U1"), in.text), Db::UnstorableText) << in.label;
        Recharge r{QStringLiteral("M1"), QStringLiteral("张三"), Money::fromInt(5), in.text, {}};
        auto booked = RechargeBooking::book(db, r, QStringLiteral("管理员"));
        ASSERT_FALSE(booked.ok()) << in.label;
        EXPECT_EQ(booked.error(), Db::UnstorableText) << in.label;
    }
    EXPECT_EQ(count(QStringLiteral("会员库")), 1);
    EXPECT_EQ(count(QStringLiteral("收入记录")), incomeRows);
}

} // namespace

// de.ini values come back as written, whatever they hold, and the lines
// around them stay.
TEST(IniTortureTest, ValuesRoundTrip) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("de.ini"));
    IniFile ini(path);
    ASSERT_TRUE(
        ini.write(QStringLiteral("part1"), QStringLiteral("softname"), QStringLiteral("店")));
    auto inputs = nastyInputs();
    for (const Nasty& in : inputs) {
        ASSERT_TRUE(ini.write(QStringLiteral("part1"), QStringLiteral("csSql"), in.text))
            << in.label;
        EXPECT_EQ(ini.read(QStringLiteral("part1"), QStringLiteral("csSql"), QStringLiteral("-")),
                  in.text)
            << in.label;
        EXPECT_EQ(ini.read(QStringLiteral("part1"), QStringLiteral("softname"), {}), u"店")
            << in.label;
    }
}
