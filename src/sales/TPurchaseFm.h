#pragma once

#include "sales/core/SaleCatalogue.h"
#include "store/LoginContext.h"

#include <QDialog>
#include <optional>

class NumberEdit;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// 商品进货-销售库: books a purchase of the sale catalogue's current item:
// the stock rises by the quantity and a purchase record is written. The
// list price stays.
class TPurchaseFm : public QDialog {
    Q_OBJECT
public:
    TPurchaseFm(const LoginContext& login, const std::optional<SaleItem>& item,
                QWidget* parent = nullptr);

    QLineEdit* barcodeEdit() const { return m_barcode; }
    QLineEdit* placeEdit() const { return m_place; }
    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* typeEdit() const { return m_type; }
    QLineEdit* mediumEdit() const { return m_medium; }
    QLineEdit* priceEdit() const { return m_price; }
    NumberEdit* unitPriceEdit() const { return m_unitPrice; }
    NumberEdit* quantityEdit() const { return m_quantity; }
    NumberEdit* discountEdit() const { return m_discount; }
    QComboBox* supplierBox() const { return m_supplier; }
    QPlainTextEdit* remarkEdit() const { return m_remark; }
    QLineEdit* totalEdit() const { return m_total; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* closeButton() const { return m_close; }

    void InitialData();
    void FindKey();
    void QueDing(); // "确定"

private:
    const LoginContext& m_login;
    std::optional<SaleItem> m_item;
    QLineEdit* m_barcode;
    QLineEdit* m_place;
    QLineEdit* m_name;
    QLineEdit* m_type;
    QLineEdit* m_medium;
    QLineEdit* m_price;
    NumberEdit* m_unitPrice;
    NumberEdit* m_quantity;
    NumberEdit* m_discount;
    QComboBox* m_supplier;
    QPlainTextEdit* m_remark;
    QLineEdit* m_total;
    QPushButton* m_ok;
    QPushButton* m_close;
};
