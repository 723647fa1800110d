#pragma once

#include "sales/core/SaleCatalogue.h"
#include "store/LoginContext.h"
#include "ui/CorrectionDialog.h"

class NumberEdit;

// 销售库存修改: sets an item's stock by hand. "确定" saves the edit window's
// pending edit together with the new stock and writes the log row
// "修改库存"; "取消" drops the whole pending edit.
class TSaleStockModifyFm : public CorrectionDialog {
    Q_OBJECT
public:
    TSaleStockModifyFm(const LoginContext& login, const SaleItem& asRead, const SaleItem& edited,
                       QWidget* parent = nullptr);

    NumberEdit* stockEdit() const { return m_stock; }

private:
    Status save() override;

    const LoginContext& m_login;
    SaleItem m_asRead;
    SaleItem m_edited;
    NumberEdit* m_stock;
};
