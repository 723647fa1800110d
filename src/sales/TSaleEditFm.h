#pragma once

#include "sales/core/SaleCatalogue.h"
#include "store/LoginContext.h"

#include <QDialog>

class NumberEdit;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// 编辑: edits one item of the sale catalogue. The window holds one pending
// edit of the row: "保存" saves it, "关闭" drops it; the stock correction
// window saves it together with the new stock, or drops it.
class TSaleEditFm : public QDialog {
    Q_OBJECT
public:
    TSaleEditFm(const LoginContext& login, const SaleItem& item, QWidget* parent = nullptr);

    QLineEdit* barcodeEdit() const { return m_barcode; }
    QLineEdit* nameEdit() const { return m_name; }
    QComboBox* typeBox() const { return m_type; }
    QLineEdit* pyEdit() const { return m_py; }
    NumberEdit* priceEdit() const { return m_price; }
    QComboBox* placeBox() const { return m_place; }
    QComboBox* publisherBox() const { return m_publisher; }
    QLineEdit* authorEdit() const { return m_author; }
    QComboBox* mediumBox() const { return m_medium; }
    QLineEdit* stockEdit() const { return m_stock; }
    QPlainTextEdit* synopsisEdit() const { return m_synopsis; }
    QPushButton* stockButton() const { return m_stockButton; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* closeButton() const { return m_close; }

    const SaleItem& asRead() const { return m_asRead; }
    // The row as the boxes show it; nullopt (after a message) when the
    // barcode, name or price is empty or the price malformed.
    std::optional<SaleItem> edited() const;

    void save();         // "保存"
    void correctStock(); // "修改库存"

private:
    void showItem(const SaleItem& item);

    const LoginContext& m_login;
    SaleItem m_asRead;
    QLineEdit* m_barcode;
    QLineEdit* m_name;
    QComboBox* m_type;
    QLineEdit* m_py;
    NumberEdit* m_price;
    QComboBox* m_place;
    QComboBox* m_publisher;
    QLineEdit* m_author;
    QComboBox* m_medium;
    QLineEdit* m_stock;
    QPlainTextEdit* m_synopsis;
    QPushButton* m_stockButton;
    QPushButton* m_save;
    QPushButton* m_close;
};
