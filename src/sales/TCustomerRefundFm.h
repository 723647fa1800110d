#pragma once

#include "sales/core/RefundBooking.h"
#include "store/Db.h"
#include "store/LoginContext.h"

#include <QDialog>

class DataGrid;
class NumberEdit;
class QLineEdit;
class QPushButton;

// "顾客退货": finds the sale lines of a barcode, newest first, and books
// the refund of the chosen line (RefundBooking).
class TCustomerRefundFm : public QDialog {
    Q_OBJECT
public:
    explicit TCustomerRefundFm(const LoginContext& login, QWidget* parent = nullptr);

    DataGrid* grid() const { return m_grid; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void search();
    // Quantity, amount and method from the grid's current sale line.
    void fillFromCurrentLine();
    // The amount follows the quantity at the line's unit price.
    void quantityChanged();
    RefundLeft leftOfCurrentLine() const;
    void refund();

    const LoginContext& m_login;
    Db m_db;
    QLineEdit* m_barcode;
    QPushButton* m_search;
    NumberEdit* m_quantity;
    NumberEdit* m_amount;
    QLineEdit* m_method;
    QPushButton* m_refund;
    QPushButton* m_back;
    DataGrid* m_grid;
};
