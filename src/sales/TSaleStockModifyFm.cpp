#include "sales/TSaleStockModifyFm.h"

#include "sales/core/PurchasePricing.h"
#include "ui/NumberEdit.h"

TSaleStockModifyFm::TSaleStockModifyFm(const LoginContext& login, const SaleItem& asRead,
                                       const SaleItem& edited, QWidget* parent)
    : CorrectionDialog(QStringLiteral("销售库存修改"), parent), m_login(login), m_asRead(asRead),
      m_edited(edited), m_stock(new NumberEdit(NumberEdit::Kind::Digits)) {
    m_stock->setFieldName(QStringLiteral("库存"));
    m_stock->setText(QString::number(edited.stock));
    addBox(QStringLiteral("库存"), m_stock);
    resize(260, 100);
}

Status TSaleStockModifyFm::save() {
    auto stock = PurchasePricing::readQuantity(m_stock->text(), QStringLiteral("库存"));
    if (!stock)
        return Error{stock.error()};
    return SaleCatalogue::correctStock(Db(m_login.connectionName), m_asRead, m_edited,
                                       stock.value(), m_login.adminName);
}
