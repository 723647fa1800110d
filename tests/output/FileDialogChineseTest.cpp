#include "store/Translations.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A text a user reads that still holds Latin words; mnemonics ("打开(&O)"),
// key names and wildcards do not count.
bool english(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)|&|Alt\\+\\S*|\\*|\\(\\*\\)")));
    return text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2,}")));
}

} // namespace

// The program's file chooser (Qt's own dialog) after the program's
// translations: the list's headers, a folder's type, a drive's type, and
// every label, button, action and tip of the dialog speak Chinese.
TEST(FileDialogChinese, NoHeaderTypeOrCaptionIsLeftInEnglish) {
    ASSERT_TRUE(Translations::installQtChinese(*QCoreApplication::instance()))
        << "qtbase_zh_CN is missing (package qt6-translations-l10n)";
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("图片")));
    QFileDialog dialog(nullptr, QStringLiteral("选择图片"), dir.path(),
                       QStringLiteral("图片文件 (*.bmp *.jpg *.png)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    const QString folder = QDir(dir.path()).filePath(QStringLiteral("图片"));
    QModelIndex type;
    for (int i = 0; i < 200 && !type.data().isValid(); ++i) {
        QTest::qWait(10);
        type = model->index(folder).siblingAtColumn(2);
    }
    EXPECT_EQ(type.data().toString(), QStringLiteral("文件夹"));
    QStringList headers;
    for (int c = 0; c < model->columnCount(); ++c)
        headers << model->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers, (QStringList{QStringLiteral("名称"), QStringLiteral("体积"),
                                    QStringLiteral("类型"), QStringLiteral("修改日期")}));
    EXPECT_EQ(QFileIconProvider().type(QFileInfo(QDir::rootPath())), QStringLiteral("驱动器"));

    QStringList left;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        left << label->text();
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        left << button->text();
    for (const QAction* action : dialog.findChildren<QAction*>())
        left << action->text();
    for (const QWidget* widget : dialog.findChildren<QWidget*>())
        left << widget->toolTip();
    left.removeIf([](const QString& text) { return !english(text); });
    EXPECT_TRUE(left.isEmpty()) << left.join(u'|').toStdString();
}
