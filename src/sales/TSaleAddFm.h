#pragma once

#include "store/LoginContext.h"

#include <QDialog>

class NumberEdit;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// 新增商品-销售库: adds an item to the sale catalogue together with its
// first purchase; the quantity bought becomes its stock.
class TSaleAddFm : public QDialog {
    Q_OBJECT
public:
    explicit TSaleAddFm(const LoginContext& login, QWidget* parent = nullptr);

    QLineEdit* barcodeEdit() const { return m_barcode; }
    QLineEdit* nameEdit() const { return m_name; }
    QComboBox* typeBox() const { return m_type; }
    NumberEdit* priceEdit() const { return m_price; }
    NumberEdit* unitPriceEdit() const { return m_unitPrice; }
    NumberEdit* quantityEdit() const { return m_quantity; }
    NumberEdit* discountEdit() const { return m_discount; }
    QComboBox* placeBox() const { return m_place; }
    QLineEdit* authorEdit() const { return m_author; }
    QComboBox* publisherBox() const { return m_publisher; }
    QComboBox* mediumBox() const { return m_medium; }
    QComboBox* supplierBox() const { return m_supplier; }
    QPlainTextEdit* synopsisEdit() const { return m_synopsis; }
    QLineEdit* totalEdit() const { return m_total; }
    QCheckBox* clearAfterSaveBox() const { return m_clearAfterSave; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* closeButton() const { return m_close; }
    const QString& searchCode() const { return m_py; }

    void InitialData();
    void TiaoMaHuiChe(); // Enter in the barcode box
    void BaoCun();       // "保存"

Q_SIGNALS:
    void itemAdded(qint64 id);

private:
    const LoginContext& m_login;
    QString m_py;
    QLineEdit* m_barcode;
    QLineEdit* m_name;
    QComboBox* m_type;
    NumberEdit* m_price;
    NumberEdit* m_unitPrice;
    NumberEdit* m_quantity;
    NumberEdit* m_discount;
    QComboBox* m_place;
    QLineEdit* m_author;
    QComboBox* m_publisher;
    QComboBox* m_medium;
    QComboBox* m_supplier;
    QPlainTextEdit* m_synopsis;
    QLineEdit* m_total;
    QCheckBox* m_clearAfterSave;
    QPushButton* m_save;
    QPushButton* m_close;
};
