#include "catalogue/TRentKuFm.h"

#include "catalogue/TRentAddFm.h"
#include "catalogue/TRentEditFm.h"
#include "catalogue/TRentEditPicFm.h"
#include "catalogue/core/RentCatalogue.h"
#include "output/ListOutput.h"
#include "ui/Prompt.h"

#include <QAction>

namespace {
const QString Barcode = QStringLiteral("条形码");
}

TRentKuFm::TRentKuFm(const LoginContext& login, QWidget* parent)
    : ListWindow(QStringLiteral("出租库"), parent, login.connectionName), m_login(login) {
    setWindowTitle(QStringLiteral("出租库"));
    setWindowState(windowState() | Qt::WindowMaximized);
    connect(addTool(QStringLiteral("新增商品")), &QAction::triggered, this, &TRentKuFm::addNew);
    connect(addTool(QStringLiteral("编辑")), &QAction::triggered, this, &TRentKuFm::edit);
    connect(addTool(QStringLiteral("删除")), &QAction::triggered, this, &TRentKuFm::remove);
    addShowAllTool();
    connect(addTool(QStringLiteral("EXCEL")), &QAction::triggered, this, &TRentKuFm::exportExcel);
    connect(addTool(QStringLiteral("打印")), &QAction::triggered, this, &TRentKuFm::print);
    connect(addTool(QStringLiteral("转入销售库")), &QAction::triggered, this,
            &TRentKuFm::copyToSale);
    connect(addTool(QStringLiteral("打印条码")), &QAction::triggered, this,
            &TRentKuFm::printLabels);
    connect(addTool(QStringLiteral("显示图片")), &QAction::triggered, this,
            &TRentKuFm::showPicture);
    addCloseTool();

    setSearchFields({Barcode, QStringLiteral("商品名称"), QStringLiteral("商品类型")},
                    QStringLiteral("商品名称"));
    DataGrid* list = grid();
    list->setMoneyColumns({QStringLiteral("定价")});
    list->setColumnOrder({Barcode, QStringLiteral("商品名称"), QStringLiteral("商品类型"),
                          QStringLiteral("存放位置"), QStringLiteral("定价"),
                          QStringLiteral("出版社"), QStringLiteral("作者"), QStringLiteral("状态"),
                          QStringLiteral("借出次数"), QStringLiteral("登记日期"),
                          QStringLiteral("pic")});
    list->setHiddenColumns({QStringLiteral("py"), QStringLiteral("登记人"), QStringLiteral("简介"),
                            QStringLiteral("供应商"), QStringLiteral("介质")});
    list->setFooter(Barcode);
    showAll();
}

TRentKuFm::~TRentKuFm() = default;

void TRentKuFm::addNew() {
    // new copies show after "显示全部" or "查找"
    m_add.open([this] { return new TRentAddFm(m_login, this); });
}

void TRentKuFm::edit() {
    if (!permitted(m_login.may(Permission::RentEdit)))
        return;
    if (!requireCurrentRow(QStringLiteral("没有可编辑的商品!")))
        return;
    const QString barcode = grid()->value(Barcode).toString();
    auto copy = RentCatalogue::find(Db(m_login.connectionName), barcode);
    if (!copy) {
        Prompt::error(this, copy.error());
        return;
    }
    if (!copy.value()) {
        Prompt::warning(this, QStringLiteral("该商品已被删除!"));
        refresh();
        return;
    }
    QString shown = barcode;
    m_edit.open([&] {
        auto* edit = new TRentEditFm(m_login, *copy.value(), this);
        connect(edit, &QDialog::accepted, this,
                [&shown, edit] { shown = edit->barcodeEdit()->text(); });
        return edit;
    });
    refresh();
    grid()->locate(Barcode, shown);
}

void TRentKuFm::remove() {
    if (!permitted(m_login.may(Permission::RentDelete)))
        return;
    removeCurrentRow(
        QStringLiteral("没有可删除的商品!"),
        QStringLiteral("您是否要删除\" %1\"").arg(grid()->text(QStringLiteral("商品名称"))),
        [this] {
            return RentCatalogue::remove(Db(m_login.connectionName),
                                         grid()->value(Barcode).toString());
        });
}

void TRentKuFm::exportExcel() {
    ListOutput::exportToExcel(this, currentQuery(), QStringLiteral("出租库"));
}

void TRentKuFm::print() {
    ListOutput::printList(this, ReportTemplate::RentCatalogue, currentQuery());
}

void TRentKuFm::copyToSale() {
    if (!permitted(m_login.may(Permission::CatalogueTransfer)))
        return;
    if (!requireCurrentRow(QStringLiteral("没有可转移的商品!")))
        return;
    const QString barcode = grid()->value(Barcode).toString();
    if (!Prompt::question(this,
                          QStringLiteral("您是否要把条形码: %1,的商品转移到销售库?").arg(barcode)))
        return;
    if (Status copied =
            RentCatalogue::copyToSale(Db(m_login.connectionName), barcode, m_login.adminName);
        !copied) {
        Prompt::error(this, copied.error());
        return;
    }
    Prompt::information(this, QStringLiteral("转移成功,请自行根据需要删除本库的记录!"));
}

void TRentKuFm::printLabels() {
    ListOutput::printLabels(this, LabelKind::Items, currentQuery());
}

void TRentKuFm::showPicture() {
    if (!requireCurrentRow(QStringLiteral("没有选中的商品!")))
        return;
    // the list leaves pictures out: the current row's is read by its key
    auto picture =
        RentCatalogue::picture(Db(m_login.connectionName), grid()->value(Barcode).toString());
    if (!picture) {
        Prompt::error(this, picture.error());
        return;
    }
    m_viewer.open([&] { return new TRentEditPicFm(picture.value(), this); });
}
