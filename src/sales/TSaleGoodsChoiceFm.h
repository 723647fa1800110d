#pragma once

#include "store/ListQuery.h"

#include <QDialog>

class DataGrid;

// "选择商品": picks one item when a barcode fragment matches several
// catalogue rows in stock.
class TSaleGoodsChoiceFm : public QDialog {
    Q_OBJECT
public:
    explicit TSaleGoodsChoiceFm(const ListQuery& found, QWidget* parent = nullptr);

    // The 商品id of the chosen row; empty when the user cancelled.
    const QString& chosenItemId() const { return m_chosen; }
    DataGrid* grid() const { return m_grid; }

private:
    void choose();

    DataGrid* m_grid;
    QString m_chosen;
};
