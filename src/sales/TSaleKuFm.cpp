#include "sales/TSaleKuFm.h"

#include "output/ListOutput.h"
#include "sales/TPurchaseFm.h"
#include "sales/TSaleAddFm.h"
#include "sales/TSaleEditFm.h"
#include "sales/core/SaleCatalogue.h"
#include "ui/Prompt.h"

#include <QAction>

namespace {
const QString Id = QStringLiteral("商品id");
const QString Barcode = QStringLiteral("条形码");
} // namespace

TSaleKuFm::TSaleKuFm(const LoginContext& login, QWidget* parent)
    : ListWindow(QStringLiteral("销售库"), parent, login.connectionName), m_login(login) {
    setWindowTitle(QStringLiteral("销售库"));
    connect(addTool(QStringLiteral("新增商品")), &QAction::triggered, this, &TSaleKuFm::addNew);
    connect(addTool(QStringLiteral("商品进货")), &QAction::triggered, this, &TSaleKuFm::purchase);
    connect(addTool(QStringLiteral("编辑")), &QAction::triggered, this, &TSaleKuFm::edit);
    connect(addTool(QStringLiteral("删除")), &QAction::triggered, this, &TSaleKuFm::remove);
    addShowAllTool();
    connect(addTool(QStringLiteral("EXCEL")), &QAction::triggered, this, &TSaleKuFm::exportExcel);
    connect(addTool(QStringLiteral("打印")), &QAction::triggered, this, &TSaleKuFm::print);
    connect(addTool(QStringLiteral("转入出租库")), &QAction::triggered, this,
            &TSaleKuFm::copyToRent);
    connect(addTool(QStringLiteral("打印条码")), &QAction::triggered, this,
            &TSaleKuFm::printLabels);
    addCloseTool();

    setSearchFields({Barcode, QStringLiteral("商品名称"), QStringLiteral("商品类型")},
                    QStringLiteral("商品名称"));
    DataGrid* list = grid();
    list->setMoneyColumns({QStringLiteral("定价")});
    list->setColumnOrder({Barcode, QStringLiteral("商品名称"), QStringLiteral("商品类型"),
                          QStringLiteral("定价"), QStringLiteral("存放位置"),
                          QStringLiteral("介质"), QStringLiteral("库存"), Id});
    list->setHiddenColumns({QStringLiteral("py"), QStringLiteral("出版社"), QStringLiteral("作者"),
                            QStringLiteral("状态"), QStringLiteral("主演/导演"),
                            QStringLiteral("简介")});
    list->setFooter(Barcode, {QStringLiteral("库存")});
    resize(900, 560);
    showAll();
}

TSaleKuFm::~TSaleKuFm() = default;

void TSaleKuFm::showItem(qint64 id) {
    refresh();
    grid()->locate(Id, id);
}

void TSaleKuFm::addNew() {
    m_add.open([this] {
        auto* add = new TSaleAddFm(m_login, this);
        // a new item shows in the list at once
        connect(add, &TSaleAddFm::itemAdded, this, &TSaleKuFm::showItem);
        return add;
    });
}

void TSaleKuFm::purchase() {
    std::optional<SaleItem> item;
    if (grid()->hasCurrentRow()) {
        auto found = SaleCatalogue::find(Db(m_login.connectionName), grid()->integer(Id));
        if (!found) {
            Prompt::error(this, found.error());
            return;
        }
        item = found.value();
    }
    // with no item the window opens empty and refuses "确定"
    m_purchase.open([&] { return new TPurchaseFm(m_login, item, this); });
    if (item)
        showItem(item->id);
}

void TSaleKuFm::edit() {
    if (!permitted(m_login.may(Permission::SaleEdit)))
        return;
    if (!requireCurrentRow(QStringLiteral("没有可编辑的商品!")))
        return;
    const qint64 id = grid()->integer(Id);
    auto found = SaleCatalogue::find(Db(m_login.connectionName), id);
    if (!found) {
        Prompt::error(this, found.error());
        return;
    }
    if (!found.value()) {
        Prompt::warning(this, QStringLiteral("该商品已被删除!"));
        refresh();
        return;
    }
    m_edit.open([&] { return new TSaleEditFm(m_login, *found.value(), this); });
    showItem(id);
}

void TSaleKuFm::remove() {
    if (!permitted(m_login.may(Permission::SaleDelete)))
        return;
    removeCurrentRow(
        QStringLiteral("没有可删除的商品!"),
        QStringLiteral("您是否要删除\" %1\"").arg(grid()->text(QStringLiteral("商品名称"))),
        [this] { return SaleCatalogue::remove(Db(m_login.connectionName), grid()->integer(Id)); });
}

void TSaleKuFm::exportExcel() {
    ListOutput::exportToExcel(this, currentQuery(), QStringLiteral("销售库"));
}

void TSaleKuFm::print() {
    ListOutput::printList(this, ReportTemplate::SaleCatalogue, currentQuery());
}

void TSaleKuFm::copyToRent() {
    if (!permitted(m_login.may(Permission::CatalogueTransfer)))
        return;
    if (!requireCurrentRow(QStringLiteral("没有可转移的商品!")))
        return;
    if (!Prompt::question(this, QStringLiteral("您是否要把条形码: %1,的商品转移到出租库?")
                                    .arg(grid()->value(Barcode).toString())))
        return;
    if (Status copied = SaleCatalogue::copyToRent(Db(m_login.connectionName), grid()->integer(Id),
                                                  m_login.adminName);
        !copied) {
        Prompt::error(this, copied.error());
        return;
    }
    Prompt::information(this, QStringLiteral("转移成功,请自行根据需要删除本库的记录!"));
}

void TSaleKuFm::printLabels() {
    ListOutput::printLabels(this, LabelKind::Items, currentQuery());
}
