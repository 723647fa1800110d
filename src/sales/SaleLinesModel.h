#pragma once

#include "sales/core/SaleLine.h"

#include <QAbstractTableModel>

// The sale lines of the counter as a read-only table: 条形码, 商品名称,
// 定价, 销售单价, 数量, 折扣, 合计, 商品id, every value shown as text.
class SaleLinesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Barcode, Name, ListPrice, UnitPrice, Quantity, Discount, Total, ItemId, Count };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const QList<SaleLine>& lines() const { return m_lines; }
    void append(const SaleLine& line);
    void removeLine(int row);
    void clear();
    // One line, to change in place; recount() afterwards.
    SaleLine& line(int row) { return m_lines[row]; }
    // Recomputes unit prices and discounts from the totals (CountPrice)
    // and gives the sum of the totals.
    Money recount();

private:
    QList<SaleLine> m_lines;
};
