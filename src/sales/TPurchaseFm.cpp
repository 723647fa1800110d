#include "sales/TPurchaseFm.h"

#include "sales/PriceBoxes.h"
#include "store/ChoiceLists.h"
#include "ui/FormParts.h"
#include "ui/NumberEdit.h"
#include "ui/Prompt.h"
#include "ui/TextLimits.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using FormParts::boldLabel;

TPurchaseFm::TPurchaseFm(const LoginContext& login, const std::optional<SaleItem>& item,
                         QWidget* parent)
    : QDialog(parent), m_login(login), m_item(item) {
    setWindowTitle(QStringLiteral("商品进货-销售库"));
    auto readOnly = [] {
        auto* box = new QLineEdit;
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        return box;
    };
    m_barcode = readOnly();
    m_place = readOnly();
    m_name = readOnly();
    m_type = readOnly();
    m_medium = readOnly();
    m_price = readOnly();
    m_unitPrice = new NumberEdit(NumberEdit::Kind::Decimal);
    m_unitPrice->setFieldName(QStringLiteral("进货单价"));
    m_quantity = new NumberEdit(NumberEdit::Kind::Digits);
    m_quantity->setFieldName(QStringLiteral("进货数量"));
    m_discount = new NumberEdit(NumberEdit::Kind::Decimal);
    m_discount->setFieldName(QStringLiteral("折扣"));
    m_supplier = FormParts::choiceBox();
    m_remark = new QPlainTextEdit;
    limitToColumn(m_remark, QStringLiteral("进货记录"), QStringLiteral("说明"));
    m_remark->setTabChangesFocus(true);
    m_total = readOnly();
    m_ok = new QPushButton(QStringLiteral("确定"));
    m_close = new QPushButton(QStringLiteral("退出"));
    m_ok->setAutoDefault(false);
    m_close->setAutoDefault(false);

    auto* itemBand = new QGroupBox(QStringLiteral("商品"));
    auto* itemGrid = new QGridLayout(itemBand);
    auto pair = [](QGridLayout* grid, int r, int c, QLabel* label, QWidget* field) {
        grid->addWidget(label, r, c * 2);
        grid->addWidget(field, r, c * 2 + 1);
    };
    auto plain = [](const char* text) { return new QLabel(QString::fromUtf8(text)); };
    pair(itemGrid, 0, 0, plain("条形码"), m_barcode);
    pair(itemGrid, 0, 1, plain("存放位置"), m_place);
    pair(itemGrid, 1, 0, plain("商品名称"), m_name);
    pair(itemGrid, 1, 1, plain("商品类型"), m_type);
    pair(itemGrid, 2, 0, plain("介质"), m_medium);
    pair(itemGrid, 2, 1, plain("定价"), m_price);

    auto* purchaseBand = new QGroupBox(QStringLiteral("进货"));
    auto* grid = new QGridLayout(purchaseBand);
    pair(grid, 0, 0, boldLabel(QStringLiteral("进货单价")), m_unitPrice);
    pair(grid, 0, 1, boldLabel(QStringLiteral("进货数量")), m_quantity);
    pair(grid, 1, 0, plain("折扣"), m_discount);
    pair(grid, 1, 1, plain("供应商"), m_supplier);
    grid->addWidget(plain("说明"), 2, 0, Qt::AlignTop);
    grid->addWidget(m_remark, 2, 1, 1, 3);
    pair(grid, 3, 0, plain("总金额"), m_total);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(itemBand);
    layout->addWidget(purchaseBand);
    layout->addLayout(buttons);

    new PriceBoxes(m_price, m_unitPrice, m_quantity, m_discount, m_total, this);
    connect(m_ok, &QPushButton::clicked, this, &TPurchaseFm::confirm);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    resize(520, 400);

    InitialData();
    if (auto names = ChoiceLists::names(Db(m_login.connectionName), ChoiceLists::List::Suppliers))
        FormParts::setChoices(m_supplier, names.value());
    m_supplier->setEditText(QStringLiteral("无"));
    FindKey();
    m_unitPrice->setFocus();
}

void TPurchaseFm::InitialData() {
    for (QLineEdit* edit :
         {m_name, m_price, static_cast<QLineEdit*>(m_unitPrice),
          static_cast<QLineEdit*>(m_discount), m_total, m_type, m_place, m_medium})
        edit->clear();
    m_remark->clear();
    m_quantity->setText(QStringLiteral("1"));
    m_supplier->setEditText(QString());
}

void TPurchaseFm::FindKey() {
    if (!m_item)
        return;
    m_barcode->setText(m_item->barcode);
    m_name->setText(m_item->name);
    m_type->setText(m_item->goodsType);
    m_price->setText(m_item->price.toString());
    m_place->setText(m_item->place);
    m_medium->setText(m_item->medium);
    m_remark->setPlainText(m_item->synopsis);
}

void TPurchaseFm::confirm() {
    // the item band comes from the row, which may lack a name or a type
    bool missing = !m_item;
    for (const QLineEdit* box :
         {m_barcode, m_name, m_price, m_type, static_cast<QLineEdit*>(m_unitPrice),
          static_cast<QLineEdit*>(m_quantity)})
        missing = missing || box->text().trimmed().isEmpty();
    if (missing) {
        Prompt::information(this, QStringLiteral("字体加重的项目必须填写!"));
        return;
    }
    PurchaseEntry entry;
    entry.unitPrice = m_unitPrice->text();
    entry.quantity = m_quantity->text();
    entry.discount = m_discount->text();
    entry.supplier = m_supplier->currentText();
    entry.remark = m_remark->toPlainText();
    auto stock =
        SaleCatalogue::purchase(Db(m_login.connectionName), m_item->id, entry, m_login.adminName);
    if (!stock) {
        Prompt::information(this, stock.error());
        return;
    }
    Prompt::information(this, QStringLiteral("保存成功!"));
    accept();
}
