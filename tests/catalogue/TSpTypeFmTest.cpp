#include "catalogue/TSpTypeFm.h"
#include "support/WindowTest.h"

#include <QAction>
#include <QLineEdit>
#include <gtest/gtest.h>

class TSpTypeFmTest : public WindowTest {};
SHOP_ON_BOTH_ENGINES(TSpTypeFmTest);

TEST_P(TSpTypeFmTest, ASecondTypeOfANameIsRefusedNamingIt) {
    using Tool = ReferenceListWindow::Tool;
    execOk(QStringLiteral("insert into 商品类型(名称,每日租金,押金) values(?,?,?)"),
           {QStringLiteral("武侠"), QVariant::fromValue(Money::fromInt(1)),
            QVariant::fromValue(Money::fromInt(5))});
    TSpTypeFm w(login);
    auto fill = [&](const char* column, const QString& text) {
        auto* box = qobject_cast<QLineEdit*>(w.field(QString::fromUtf8(column)));
        box->clear();
        typeInto(box, text);
    };
    w.tool(Tool::Add)->trigger();
    fill("名称", QStringLiteral("漫画"));
    fill("每日租金", QStringLiteral("1"));
    fill("押金", QStringLiteral("10"));
    w.tool(Tool::Save)->trigger();
    ASSERT_FALSE(w.isEditing()) << prompts->lastText().toStdString();

    // added again, or another type renamed to it: the shop's words, the
    // window stays editing, nothing written
    for (const char* start : {"", "武侠"}) {
        if (*start) {
            ASSERT_TRUE(w.grid()->locate(QStringLiteral("名称"), QString::fromUtf8(start)));
            w.tool(Tool::Modify)->trigger();
        } else {
            w.tool(Tool::Add)->trigger();
            fill("每日租金", QStringLiteral("2"));
            fill("押金", QStringLiteral("20"));
        }
        fill("名称", QStringLiteral(" 漫画"));
        prompts->clear();
        w.tool(Tool::Save)->trigger();
        EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("商品类型 漫画 已存在")}) << start;
        EXPECT_TRUE(w.isEditing());
        w.tool(Tool::Cancel)->trigger();
    }
    EXPECT_EQ(
        count(QStringLiteral("商品类型"), QStringLiteral("名称 = ?"), {QStringLiteral("漫画")}), 1);
    // its own name kept on a change of its rates is no second type
    ASSERT_TRUE(w.grid()->locate(QStringLiteral("名称"), QStringLiteral("漫画")));
    w.tool(Tool::Modify)->trigger();
    fill("押金", QStringLiteral("15"));
    w.tool(Tool::Save)->trigger();
    EXPECT_FALSE(w.isEditing()) << prompts->lastText().toStdString();
}
