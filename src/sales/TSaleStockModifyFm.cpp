#include "sales/TSaleStockModifyFm.h"

#include "sales/core/PurchasePricing.h"
#include "ui/FormParts.h"
#include "ui/NumberEdit.h"
#include "ui/Prompt.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TSaleStockModifyFm::TSaleStockModifyFm(const LoginContext& login, const SaleItem& asRead,
                                       const SaleItem& edited, QWidget* parent)
    : QDialog(parent), m_login(login), m_asRead(asRead), m_edited(edited) {
    setWindowTitle(QStringLiteral("销售库存修改"));
    // left through "确定" or "取消" only
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_stock = new NumberEdit(NumberEdit::Kind::Digits);
    m_stock->setFieldName(QStringLiteral("库存"));
    m_stock->setText(QString::number(edited.stock));
    FormParts::selectAllOnClick(m_stock);
    m_ok = new QPushButton(QStringLiteral("确定"));
    m_cancel = new QPushButton(QStringLiteral("取消"));
    m_ok->setAutoDefault(false);
    m_cancel->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("库存:"), m_stock);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &TSaleStockModifyFm::QueDing);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(260, 100);
}

void TSaleStockModifyFm::QueDing() {
    if (m_stock->text().trimmed().isEmpty()) {
        Prompt::information(this, QStringLiteral("填写数量!"));
        return;
    }
    auto stock = PurchasePricing::readQuantity(m_stock->text(), QStringLiteral("库存"));
    if (!stock) {
        Prompt::error(this, stock.error());
        return;
    }
    if (Status saved = SaleCatalogue::correctStock(Db(m_login.connectionName), m_asRead, m_edited,
                                                   stock.value(), m_login.adminName);
        !saved) {
        Prompt::error(this, saved.error());
        return;
    }
    accept();
}
