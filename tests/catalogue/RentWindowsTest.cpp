#include "catalogue/Picture.h"
#include "catalogue/TRentAddFm.h"
#include "catalogue/TRentEditFm.h"
#include "catalogue/TRentEditPicFm.h"
#include "catalogue/TRentKuFm.h"
#include "output/core/Cells.h"
#include "support/ModalStandIns.h"
#include "support/WindowTest.h"
#include "ui/NumberEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlField>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A picture file of exactly size bytes: a PNG of the given pixels padded
// at its end, which the decoder ignores.
QString pictureFile(const QString& folder, qint64 size, QSize pixels = {8, 6}) {
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString path = folder + QStringLiteral("/p%1_%2.png").arg(size).arg(pixels.width());
    image.save(path, "PNG");
    QFile file(path);
    file.open(QIODevice::Append);
    file.write(QByteArray(size - file.size(), '\0'));
    return path;
}

} // namespace

class RentWindowsTest : public WindowTest {
protected:
    void addCopy(const QString& barcode, const QString& status = QStringLiteral("待租")) {
        execOk(QStringLiteral("insert into 出租库(条形码,商品名称,商品类型,py,定价,状态,借出次数,"
                              "pic) values(?,?,?,?,?,?,?,?)"),
               {barcode, QStringLiteral("鹿鼎记"), QStringLiteral("普通"), QStringLiteral("LDJ"),
                QVariant::fromValue(Money::fromInt(20)), status, 0,
                QVariant(QByteArrayLiteral("BM"))});
    }
    void fillRequired(TRentAddFm& w, const QString& barcode) {
        typeInto(w.barcodeEdit(), barcode);
        typeInto(w.titleEdit(), QStringLiteral("笑傲江湖"));
        w.typeBox()->setCurrentIndex(w.typeBox()->findText(QStringLiteral("普通")));
        w.placeBox()->setCurrentIndex(0);
    }
};
SHOP_ON_BOTH_ENGINES(RentWindowsTest);

TEST_P(RentWindowsTest, ASetOfThreeWithAPictureIsSavedOnce) {
    TRentAddFm w(login);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("新增商品-出租库"));
    EXPECT_EQ(w.priceEdit()->text(), QStringLiteral("0"));
    EXPECT_FALSE(w.countEdit()->isEnabled());
    fillRequired(w, QStringLiteral("B7"));
    prompts->setNextFileName(pictureFile(database->folder(), 2000));
    QTest::mouseClick(w.choosePictureButton(), Qt::LeftButton);
    ASSERT_TRUE(w.pictureBox()->picture().startsWith("BM"));
    w.setBox()->setChecked(true);
    EXPECT_TRUE(w.countEdit()->isEnabled());
    w.saveButton()->click();
    EXPECT_EQ(prompts->lastText(), QStringLiteral("请确保填写册/集的数量并且要大于1 "));
    typeInto(w.countEdit(), QStringLiteral("3"));
    prompts->clear();
    w.saveButton()->click();
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("保存成功!")});
    EXPECT_EQ(count(QStringLiteral("出租库"),
                    QStringLiteral("条形码 in (?,?,?) and pic is not null"),
                    {QStringLiteral("B7-1"), QStringLiteral("B7-2"), QStringLiteral("B7-3")}),
              3);
    // the same set again: refused naming the barcode, nothing more written
    w.saveButton()->click();
    EXPECT_EQ(prompts->lastText(), QStringLiteral("条形码 B7-1 已存在"));
    EXPECT_EQ(count(QStringLiteral("出租库")), 3);
}

TEST_P(RentWindowsTest, APictureOfTwoMegabytesIsTakenAndOneByteMoreIsNot) {
    TRentAddFm w(login);
    prompts->setNextFileName(pictureFile(database->folder(), 2097152));
    w.choosePicture();
    EXPECT_TRUE(prompts->texts().filter(QStringLiteral("添加失败")).isEmpty());
    const QByteArray taken = w.pictureBox()->picture();
    EXPECT_TRUE(taken.startsWith("BM"));
    prompts->setNextFileName(pictureFile(database->folder(), 2097153));
    w.choosePicture();
    EXPECT_EQ(prompts->lastText(),
              QStringLiteral("添加失败:图片文件不能超过2MB,您选择的文件大小为:2.00MB"));
    EXPECT_EQ(w.pictureBox()->picture(), taken);
}

TEST_P(RentWindowsTest, TheSearchCodeFollowsTheTitle) {
    TRentAddFm w(login);
    const QList<QPair<QString, QString>> cases = {
        {QStringLiteral("光盘出租"), QStringLiteral("GPCZ")},
        {QStringLiteral("abcd"), QStringLiteral("  ")},
        {QStringLiteral("a光"), QStringLiteral(" ")}, // the pair "a" + half of 光 is no character
    };
    for (const auto& [title, code] : cases) {
        w.titleEdit()->clear();
        typeInto(w.titleEdit(), title);
        EXPECT_EQ(w.searchCode(), code) << title.toStdString();
    }
    // the boxes take no more than their columns hold
    for (QLineEdit* box :
         {w.barcodeEdit(), w.titleEdit(), w.authorEdit(), w.placeBox()->lineEdit(),
          w.publisherBox()->lineEdit(), w.typeBox()->lineEdit(), w.supplierBox()->lineEdit()})
        EXPECT_EQ(box->maxLength(), 255);
}

TEST_P(RentWindowsTest, ClearingAfterSaveKeepsTheChoiceListsAndThePicture) {
    TRentAddFm w(login);
    w.clearAfterSaveBox()->setChecked(true);
    fillRequired(w, QStringLiteral("C1"));
    prompts->setNextFileName(pictureFile(database->folder(), 500));
    w.choosePicture();
    const int types = w.typeBox()->count();
    w.saveButton()->click();
    ASSERT_EQ(prompts->lastText(), QStringLiteral("保存成功!"));
    EXPECT_TRUE(w.barcodeEdit()->text().isEmpty());
    EXPECT_TRUE(w.titleEdit()->text().isEmpty());
    EXPECT_EQ(w.priceEdit()->text(), QStringLiteral("0"));
    EXPECT_TRUE(w.typeBox()->currentText().isEmpty());
    EXPECT_EQ(w.typeBox()->count(), types);
    EXPECT_FALSE(w.pictureBox()->picture().isEmpty());
    EXPECT_TRUE(w.clearAfterSaveBox()->isChecked());
    // the next copy with the same type and location chosen again
    fillRequired(w, QStringLiteral("C2"));
    w.saveButton()->click();
    EXPECT_EQ(count(QStringLiteral("出租库"), QStringLiteral("商品类型 = ? and 存放位置 = ?"),
                    {QStringLiteral("普通"), QStringLiteral("店内")}),
              2);
}

TEST_P(RentWindowsTest, GatesAndAnEmptyListRefuseTheListActions) {
    struct Case {
        const char* tool;
        Permission gate;
    };
    const Case cases[] = {{"编辑", Permission::RentEdit},
                          {"删除", Permission::RentDelete},
                          {"转入销售库", Permission::CatalogueTransfer}};
    WindowRunner scope([](QDialog* d) {
        ADD_FAILURE() << "opened " << d->windowTitle().toStdString();
        d->reject();
    });
    addCopy(QStringLiteral("A1"));
    for (const Case& c : cases) {
        LoginContext refused = login;
        refused.permissions.set(c.gate, false);
        TRentKuFm w(refused);
        prompts->clear();
        w.tool(QString::fromUtf8(c.tool))->trigger();
        EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("没有权限!")}) << c.tool;
    }
    EXPECT_EQ(count(QStringLiteral("出租库")), 1);
    EXPECT_EQ(count(QStringLiteral("销售库")), 0);
    execOk(QStringLiteral("delete from 出租库"));
    TRentKuFm empty(login);
    prompts->clear();
    empty.edit();
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("没有可编辑的商品!")});
}

TEST_P(RentWindowsTest, CopyingIntoTheSaleCatalogueAsksAndTells) {
    addCopy(QStringLiteral("A1"));
    TRentKuFm w(login);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("出租库"));
    prompts->setNextAnswer(true);
    w.tool(QStringLiteral("转入销售库"))->trigger();
    EXPECT_EQ(prompts->texts(),
              (QStringList{QStringLiteral("您是否要把条形码: A1,的商品转移到销售库?"),
                           QStringLiteral("转移成功,请自行根据需要删除本库的记录!")}));
    EXPECT_EQ(count(QStringLiteral("销售库"), QStringLiteral("条形码 = ? and 库存 = 1"),
                    {QStringLiteral("A1")}),
              1);
    prompts->setNextAnswer(true);
    w.tool(QStringLiteral("删除"))->trigger();
    EXPECT_EQ(prompts->lastText(), QStringLiteral("您是否要删除\" 鹿鼎记\""));
    EXPECT_EQ(count(QStringLiteral("出租库")), 0);
}

TEST_P(RentWindowsTest, TheEditWindowWithdrawsACopyAndChangesItsPicture) {
    addCopy(QStringLiteral("A1"));
    TRentKuFm w(login);
    const QString picture = pictureFile(database->folder(), 700);
    bool viewed = false;
    WindowRunner scope([&](QDialog* d) {
        if (auto* viewer = qobject_cast<TRentEditPicFm*>(d)) {
            viewed = !viewer->pictureBox()->picture().isEmpty();
            d->reject();
            return;
        }
        auto* edit = qobject_cast<TRentEditFm*>(d);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->pyEdit()->text(), QStringLiteral("LDJ"));
        EXPECT_FALSE(edit->pyEdit()->isEnabled());
        edit->titleEdit()->setText(QStringLiteral("新鹿鼎记"));
        edit->statusBox()->setCurrentIndex(edit->statusBox()->findText(QStringLiteral("停租")));
        prompts->setNextFileName(picture);
        edit->changePictureButton()->click();
        edit->enlargeButton()->click();
        edit->saveButton()->click();
    });
    w.tool(QStringLiteral("编辑"))->trigger();
    EXPECT_TRUE(viewed);
    auto rows = db.select(QStringLiteral("select * from 出租库"));
    ASSERT_TRUE(rows.ok() && rows.value().next());
    EXPECT_EQ(rows.value().text(QStringLiteral("商品名称")), QStringLiteral("新鹿鼎记"));
    EXPECT_EQ(rows.value().text(QStringLiteral("py")), QStringLiteral("LDJ"));
    EXPECT_EQ(rows.value().text(QStringLiteral("状态")), QStringLiteral("停租"));
    EXPECT_TRUE(rows.value().bytes(QStringLiteral("pic")).size() > 100);
    EXPECT_EQ(w.grid()->text(QStringLiteral("状态")), QStringLiteral("停租"));
}

TEST_P(RentWindowsTest, PicturesAreScaledToWhatTheWindowsShow) {
    TRentAddFm w(login);
    struct Case {
        qint64 bytes;
        QSize pixels;
        QSize stored;
        bool click; // a click on the picture box takes a file of any size
    };
    const Case cases[] = {{4000, {1600, 1200}, {640, 480}, false},
                          {4000, {800, 1200}, {320, 480}, false},
                          {4000, {300, 200}, {300, 200}, false},
                          {3 * 1048576, {2000, 1000}, {640, 320}, true}};
    for (const Case& c : cases) {
        prompts->setNextFileName(pictureFile(database->folder(), c.bytes, c.pixels));
        if (c.click)
            QTest::mouseClick(w.pictureBox(), Qt::LeftButton);
        else
            w.choosePicture();
        const QByteArray stored = w.pictureBox()->picture();
        EXPECT_TRUE(stored.startsWith("BM"));
        EXPECT_EQ(QImage::fromData(stored, "BMP").size(), c.stored) << c.pixels.width();
    }
    EXPECT_TRUE(prompts->texts().filter(QStringLiteral("添加失败")).isEmpty());
}

TEST_P(RentWindowsTest, TheListReadsNoPictureAndTheViewerReadsTheCurrentOnes) {
    addCopy(QStringLiteral("A1"));
    addCopy(QStringLiteral("A2"));
    TRentKuFm w(login);
    for (const QString& statement : {QStringLiteral("show all"), QStringLiteral("search")}) {
        if (statement == QStringLiteral("search")) {
            w.fieldChooser()->setEditText(QStringLiteral("条形码"));
            w.searchBox()->setText(QStringLiteral("A"));
            w.searchButton()->click();
        }
        const ListQuery shown = w.currentQuery();
        auto rows = db.select(shown.sql, shown.params);
        ASSERT_TRUE(rows.ok()) << rows.error().toStdString();
        // the column stays, empty, and exports as a picture (an empty cell)
        EXPECT_EQ(rows.value().record().indexOf(QStringLiteral("pic")), 15);
        EXPECT_EQ(Cells::kindOf(rows.value().record().field(QStringLiteral("pic")), GetParam()),
                  Cells::Kind::Picture);
        int n = 0;
        for (; rows.value().next(); ++n)
            EXPECT_TRUE(rows.value().isNull(QStringLiteral("pic"))) << statement.toStdString();
        EXPECT_EQ(n, 2) << statement.toStdString();
    }
    ASSERT_TRUE(w.grid()->locate(QStringLiteral("条形码"), QStringLiteral("A2")));
    QByteArray viewed;
    WindowRunner scope([&](QDialog* d) {
        auto* viewer = qobject_cast<TRentEditPicFm*>(d);
        ASSERT_NE(viewer, nullptr);
        viewed = viewer->pictureBox()->picture();
        d->reject();
    });
    w.tool(QStringLiteral("显示图片"))->trigger();
    EXPECT_EQ(viewed, QByteArrayLiteral("BM"));
}

TEST_P(RentWindowsTest, TheEditWindowRefusesEmptiedBoxesAndAStatusChangeOfACopyOut) {
    addCopy(QStringLiteral("A1"), QStringLiteral("C001"));
    execOk(
        QStringLiteral("insert into 出租记录(出租单号,条形码,已还,会员卡号) values(?,?,?,?)"),
        {QStringLiteral("1"), QStringLiteral("A1"), QStringLiteral("否"), QStringLiteral("C001")});
    auto found = RentCatalogue::find(db, QStringLiteral("A1"));
    ASSERT_TRUE(found.ok() && found.value());
    const QList<QPair<const char*, std::function<QLineEdit*(TRentEditFm&)>>> boxes = {
        {"条形码", [](TRentEditFm& w) { return w.barcodeEdit(); }},
        {"商品名称", [](TRentEditFm& w) { return w.titleEdit(); }},
        {"定价", [](TRentEditFm& w) { return w.priceEdit(); }}};
    for (const auto& [caption, box] : boxes) {
        TRentEditFm w(login, *found.value());
        box(w)->clear();
        prompts->clear();
        w.saveButton()->click();
        EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("字体加重的项目必须填写!")})
            << caption;
        EXPECT_NE(w.result(), QDialog::Accepted) << caption;
    }

    TRentEditFm w(login, *found.value());
    QComboBox* status = w.statusBox();
    ASSERT_EQ(status->currentText(), QStringLiteral("C001"));
    prompts->clear();
    QTest::keyClick(status, Qt::Key_Down); // the user picks "待租"
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("该商品已出租,不能修改状态!")});
    EXPECT_EQ(status->currentText(), QStringLiteral("C001"));
    // set around the box: the save is refused all the same
    status->setCurrentIndex(status->findText(QStringLiteral("停租")));
    w.saveButton()->click();
    EXPECT_EQ(prompts->lastText(), QStringLiteral("该商品已出租,不能修改状态!"));
    EXPECT_NE(w.result(), QDialog::Accepted);
    EXPECT_EQ(count(QStringLiteral("出租库"), QStringLiteral("状态 = ?"), {QStringLiteral("C001")}),
              1);
}
