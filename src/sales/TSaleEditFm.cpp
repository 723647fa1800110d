#include "sales/TSaleEditFm.h"

#include "sales/TSaleStockModifyFm.h"
#include "store/ChoiceLists.h"
#include "ui/FormParts.h"
#include "ui/ModalSeam.h"
#include "ui/NumberEdit.h"
#include "ui/Prompt.h"
#include "ui/TextLimits.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TSaleEditFm::TSaleEditFm(const LoginContext& login, const SaleItem& item, QWidget* parent)
    : QDialog(parent), m_login(login), m_asRead(item) {
    setWindowTitle(QStringLiteral("编辑"));
    // left through "保存" or "关闭" only
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    const QString table = QStringLiteral("销售库");
    using FormParts::choiceBox;
    using FormParts::textBox;
    using Need = FormParts::FormGrid::Need;
    m_py = new QLineEdit;
    m_py->setReadOnly(true);
    m_price = new NumberEdit(NumberEdit::Kind::Decimal);
    m_price->setFieldName(QStringLiteral("定价"));
    m_stock = new QLineEdit;
    m_stock->setReadOnly(true);
    m_synopsis = new QPlainTextEdit;
    limitToColumn(m_synopsis, table, QStringLiteral("简介"));
    m_synopsis->setTabChangesFocus(true);
    m_stockButton = new QPushButton(QStringLiteral("修改库存"));
    m_save = new QPushButton(QStringLiteral("保存"));
    m_close = new QPushButton(QStringLiteral("关闭"));
    for (QPushButton* b : {m_stockButton, m_save, m_close})
        b->setAutoDefault(false);

    // the boxes a save needs are bold, as in the add window
    FormParts::FormGrid form;
    m_barcode = form.add(QStringLiteral("条形码"), textBox(table, QStringLiteral("条形码")),
                         Need::Required);
    m_name = form.add(QStringLiteral("商品名称"), textBox(table, QStringLiteral("商品名称")),
                      Need::Required);
    m_type = form.add(QStringLiteral("商品类型"), choiceBox(table, QStringLiteral("商品类型")));
    form.add(QStringLiteral("拼音"), m_py);
    form.add(QStringLiteral("定价"), m_price, Need::Required);
    m_place = form.add(QStringLiteral("存放位置"), choiceBox(table, QStringLiteral("存放位置")));
    m_publisher = form.add(QStringLiteral("出版社"), choiceBox(table, QStringLiteral("出版社")));
    m_author = form.add(QStringLiteral("作者"), textBox(table, QStringLiteral("作者")));
    m_medium = form.add(QStringLiteral("介质"), choiceBox(table, QStringLiteral("介质")));
    form.add(QStringLiteral("库存"), m_stock);
    form.addWide(QStringLiteral("简介"), m_synopsis);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_stockButton);
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form.layout());
    layout->addLayout(buttons);

    connect(m_save, &QPushButton::clicked, this, &TSaleEditFm::save);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_stockButton, &QPushButton::clicked, this, &TSaleEditFm::correctStock);
    resize(560, 300);

    const Db db(m_login.connectionName);
    using L = ChoiceLists::List;
    const QList<QPair<QComboBox*, L>> lists = {{m_publisher, L::Publishers},
                                               {m_medium, L::Media},
                                               {m_type, L::GoodsTypes},
                                               {m_place, L::Places}};
    for (const auto& [box, list] : lists) {
        if (auto names = ChoiceLists::names(db, list))
            FormParts::setChoices(box, names.value());
    }
    showItem(m_asRead);
}

void TSaleEditFm::showItem(const SaleItem& item) {
    m_barcode->setText(item.barcode);
    m_name->setText(item.name);
    m_type->setEditText(item.goodsType);
    m_py->setText(item.py);
    m_price->setText(item.price.toString());
    m_place->setEditText(item.place);
    m_publisher->setEditText(item.publisher);
    m_author->setText(item.author);
    m_medium->setEditText(item.medium);
    m_stock->setText(QString::number(item.stock));
    m_synopsis->setPlainText(item.synopsis);
}

std::optional<SaleItem> TSaleEditFm::edited() const {
    auto* self = const_cast<TSaleEditFm*>(this);
    if (m_barcode->text().trimmed().isEmpty() || m_name->text().trimmed().isEmpty() ||
        m_price->text().trimmed().isEmpty()) {
        Prompt::information(self, QStringLiteral("字体加重的项目必须填写!"));
        return std::nullopt;
    }
    auto price = m_price->money();
    if (!price) {
        Prompt::warning(self, price.error());
        return std::nullopt;
    }
    SaleItem item = m_asRead;
    item.barcode = m_barcode->text();
    item.name = m_name->text();
    item.goodsType = m_type->currentText();
    item.price = price.value();
    item.place = m_place->currentText();
    item.publisher = m_publisher->currentText();
    item.author = m_author->text();
    item.medium = m_medium->currentText();
    item.synopsis = m_synopsis->toPlainText();
    return item;
}

void TSaleEditFm::save() {
    const auto item = edited();
    if (!item)
        return;
    // a refused save keeps the window open with the changes pending
    if (Status saved = SaleCatalogue::save(Db(m_login.connectionName), m_asRead, *item); !saved) {
        Prompt::error(this, saved.error());
        return;
    }
    accept();
}

void TSaleEditFm::correctStock() {
    if (!m_login.may(Permission::SaleStockEdit)) {
        Prompt::information(this, QStringLiteral("没有权限!"));
        return;
    }
    const auto item = edited();
    if (!item)
        return;
    TSaleStockModifyFm correction(m_login, m_asRead, *item, this);
    ModalSeam::run(&correction);
    // Either way the pending edit has ended: saved together with the stock,
    // or dropped. Edit the row again as it now stands.
    auto fresh = SaleCatalogue::find(Db(m_login.connectionName), m_asRead.id);
    if (fresh && fresh.value())
        m_asRead = *fresh.value();
    showItem(m_asRead);
}
