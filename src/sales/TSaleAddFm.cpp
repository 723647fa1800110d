#include "sales/TSaleAddFm.h"

#include "sales/PriceBoxes.h"
#include "sales/core/SaleCatalogue.h"
#include "store/ChoiceLists.h"
#include "store/Pinyin.h"
#include "ui/FormParts.h"
#include "ui/NumberEdit.h"
#include "ui/Prompt.h"
#include "ui/TextLimits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using FormParts::boldLabel;

TSaleAddFm::TSaleAddFm(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_login(login) {
    setWindowTitle(QStringLiteral("新增商品-销售库"));
    m_barcode = new QLineEdit;
    limitToColumn(m_barcode, QStringLiteral("销售库"), QStringLiteral("条形码"));
    m_name = new QLineEdit;
    limitToColumn(m_name, QStringLiteral("销售库"), QStringLiteral("商品名称"));
    m_type = FormParts::choiceBox();
    limitToColumn(m_type, QStringLiteral("销售库"), QStringLiteral("商品类型"));
    m_price = new NumberEdit(NumberEdit::Kind::Decimal);
    m_price->setFieldName(QStringLiteral("定价"));
    m_unitPrice = new NumberEdit(NumberEdit::Kind::Decimal);
    m_unitPrice->setFieldName(QStringLiteral("进货单价"));
    m_quantity = new NumberEdit(NumberEdit::Kind::Digits);
    m_quantity->setFieldName(QStringLiteral("进货数量"));
    m_discount = new NumberEdit(NumberEdit::Kind::Decimal);
    m_discount->setFieldName(QStringLiteral("折扣"));
    m_place = FormParts::choiceBox();
    limitToColumn(m_place, QStringLiteral("销售库"), QStringLiteral("存放位置"));
    m_author = new QLineEdit;
    limitToColumn(m_author, QStringLiteral("销售库"), QStringLiteral("作者"));
    m_publisher = FormParts::choiceBox();
    limitToColumn(m_publisher, QStringLiteral("销售库"), QStringLiteral("出版社"));
    m_medium = FormParts::choiceBox();
    limitToColumn(m_medium, QStringLiteral("销售库"), QStringLiteral("介质"));
    m_supplier = FormParts::choiceBox();
    limitToColumn(m_supplier, QStringLiteral("销售库"), QStringLiteral("供应商"));
    m_synopsis = new QPlainTextEdit;
    limitToColumn(m_synopsis, QStringLiteral("销售库"), QStringLiteral("简介"));
    m_synopsis->setTabChangesFocus(true);
    m_total = new QLineEdit;
    m_total->setReadOnly(true);
    m_total->setFocusPolicy(Qt::NoFocus);
    m_clearAfterSave = new QCheckBox(QStringLiteral("保存完成后清空"));
    m_save = new QPushButton(QStringLiteral("保存"));
    m_close = new QPushButton(QStringLiteral("退出"));
    m_save->setAutoDefault(false);
    m_close->setAutoDefault(false);

    auto* grid = new QGridLayout;
    auto pair = [grid](int r, int c, QLabel* label, QWidget* field) {
        grid->addWidget(label, r, c * 2);
        grid->addWidget(field, r, c * 2 + 1);
    };
    auto plain = [](const char* text) { return new QLabel(QString::fromUtf8(text)); };
    pair(0, 0, boldLabel(QStringLiteral("条形码")), m_barcode);
    pair(0, 1, boldLabel(QStringLiteral("商品名称")), m_name);
    pair(1, 0, boldLabel(QStringLiteral("商品类型")), m_type);
    pair(1, 1, boldLabel(QStringLiteral("定价")), m_price);
    pair(2, 0, boldLabel(QStringLiteral("进货单价")), m_unitPrice);
    pair(2, 1, boldLabel(QStringLiteral("进货数量")), m_quantity);
    pair(3, 0, plain("折扣"), m_discount);
    pair(3, 1, plain("存放位置"), m_place);
    pair(4, 0, plain("作者"), m_author);
    pair(4, 1, plain("出版社"), m_publisher);
    pair(5, 0, plain("介质"), m_medium);
    pair(5, 1, plain("供应商"), m_supplier);
    grid->addWidget(plain("简介"), 6, 0, Qt::AlignTop);
    grid->addWidget(m_synopsis, 6, 1, 1, 3);
    pair(7, 0, plain("总金额"), m_total);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_clearAfterSave);
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    new PriceBoxes(m_price, m_unitPrice, m_quantity, m_discount, m_total, this);
    connect(m_name, &QLineEdit::textChanged, this,
            [this](const QString& name) { m_py = PinyinCode(name); });
    connect(m_barcode, &QLineEdit::returnPressed, this, &TSaleAddFm::barcodeEntered);
    connect(m_save, &QPushButton::clicked, this, &TSaleAddFm::save);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    resize(600, 380);

    InitialData();
    const Db db(m_login.connectionName);
    using L = ChoiceLists::List;
    const QList<QPair<QComboBox*, L>> lists = {{m_type, L::GoodsTypes},
                                               {m_place, L::Places},
                                               {m_publisher, L::Publishers},
                                               {m_medium, L::Media},
                                               {m_supplier, L::Suppliers}};
    for (const auto& [box, list] : lists) {
        auto names = ChoiceLists::names(db, list);
        if (!names) {
            Prompt::error(this, names.error());
            return;
        }
        FormParts::setChoices(box, names.value());
    }
}

void TSaleAddFm::InitialData() {
    m_barcode->setFocus();
    for (QLineEdit* edit : {static_cast<QLineEdit*>(m_barcode), m_name,
                            static_cast<QLineEdit*>(m_price), static_cast<QLineEdit*>(m_unitPrice),
                            static_cast<QLineEdit*>(m_discount), m_author, m_total})
        edit->clear();
    m_synopsis->clear();
    m_quantity->setText(QStringLiteral("1"));
    for (QComboBox* box : {m_type, m_place, m_publisher, m_medium, m_supplier})
        box->setEditText(QString());
}

void TSaleAddFm::barcodeEntered() {
    auto found =
        SaleCatalogue::findByBarcode(Db(m_login.connectionName), m_barcode->text().trimmed());
    if (!found) {
        Prompt::error(this, found.error());
        return;
    }
    if (!found.value())
        return;
    // copies the details only: saving still adds a new row
    const SaleItem& item = *found.value();
    m_name->setText(item.name);
    m_type->setEditText(item.goodsType);
    m_price->setText(item.price.toString());
    m_place->setEditText(item.place);
    m_publisher->setEditText(item.publisher);
    m_author->setText(item.author);
    m_medium->setEditText(item.medium);
    m_synopsis->setPlainText(item.synopsis);
}

void TSaleAddFm::save() {
    NewSaleItem item;
    item.barcode = m_barcode->text();
    item.name = m_name->text();
    item.goodsType = m_type->currentText();
    item.price = m_price->text();
    item.place = m_place->currentText();
    item.author = m_author->text();
    item.publisher = m_publisher->currentText();
    item.medium = m_medium->currentText();
    item.synopsis = m_synopsis->toPlainText();
    item.purchase.unitPrice = m_unitPrice->text();
    item.purchase.quantity = m_quantity->text();
    item.purchase.discount = m_discount->text();
    item.purchase.supplier = m_supplier->currentText();
    item.purchase.remark = item.synopsis;
    auto added = SaleCatalogue::addItem(Db(m_login.connectionName), item, m_login.adminName);
    if (!added) {
        Prompt::information(this, added.error());
        return;
    }
    Prompt::information(this, QStringLiteral("保存成功!"));
    Q_EMIT itemAdded(added.value());
    if (m_clearAfterSave->isChecked())
        InitialData();
}
