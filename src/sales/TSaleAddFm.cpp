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
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TSaleAddFm::TSaleAddFm(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_login(login) {
    setWindowTitle(QStringLiteral("新增商品-销售库"));
    const QString table = QStringLiteral("销售库");
    using FormParts::choiceBox;
    using FormParts::textBox;
    using Need = FormParts::FormGrid::Need;
    auto number = [](NumberEdit::Kind kind, const QString& name) {
        auto* box = new NumberEdit(kind);
        box->setFieldName(name);
        return box;
    };
    m_synopsis = new QPlainTextEdit;
    limitToColumn(m_synopsis, table, QStringLiteral("简介"));
    m_synopsis->setTabChangesFocus(true);
    m_total = new QLineEdit;
    m_total->setReadOnly(true);
    m_total->setFocusPolicy(Qt::NoFocus);
    m_clearAfterSave = new QCheckBox(QStringLiteral("保存完成后清空"));
    m_save = new QPushButton(QStringLiteral("保存"));
    m_close = new QPushButton(QStringLiteral("退出"));
    m_save->setAutoDefault(false);
    m_close->setAutoDefault(false);

    FormParts::FormGrid form;
    m_barcode = form.add(QStringLiteral("条形码"), textBox(table, QStringLiteral("条形码")),
                         Need::Required);
    m_name = form.add(QStringLiteral("商品名称"), textBox(table, QStringLiteral("商品名称")),
                      Need::Required);
    m_type = form.add(QStringLiteral("商品类型"), choiceBox(table, QStringLiteral("商品类型")),
                      Need::Required);
    m_price = form.add(QStringLiteral("定价"),
                       number(NumberEdit::Kind::Decimal, QStringLiteral("定价")), Need::Required);
    m_unitPrice =
        form.add(QStringLiteral("进货单价"),
                 number(NumberEdit::Kind::Decimal, QStringLiteral("进货单价")), Need::Required);
    m_quantity =
        form.add(QStringLiteral("进货数量"),
                 number(NumberEdit::Kind::Digits, QStringLiteral("进货数量")), Need::Required);
    m_discount =
        form.add(QStringLiteral("折扣"), number(NumberEdit::Kind::Decimal, QStringLiteral("折扣")));
    m_place = form.add(QStringLiteral("存放位置"), choiceBox(table, QStringLiteral("存放位置")));
    m_author = form.add(QStringLiteral("作者"), textBox(table, QStringLiteral("作者")));
    m_publisher = form.add(QStringLiteral("出版社"), choiceBox(table, QStringLiteral("出版社")));
    m_medium = form.add(QStringLiteral("介质"), choiceBox(table, QStringLiteral("介质")));
    m_supplier = form.add(QStringLiteral("供应商"), choiceBox(table, QStringLiteral("供应商")));
    form.addWide(QStringLiteral("简介"), m_synopsis);
    form.add(QStringLiteral("总金额"), m_total);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_clearAfterSave);
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form.layout());
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
