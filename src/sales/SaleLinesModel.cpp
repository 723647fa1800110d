#include "sales/SaleLinesModel.h"

int SaleLinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_lines.size());
}

int SaleLinesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(Count);
}

QVariant SaleLinesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    if (role == Qt::TextAlignmentRole && index.column() >= ListPrice && index.column() <= Total)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    const SaleLine& line = m_lines[index.row()];
    switch (index.column()) {
    case Barcode:
        return line.barcode;
    case Name:
        return line.name;
    case ListPrice:
        return line.listPrice.toString();
    case UnitPrice:
        return line.unitPrice.toString();
    case Quantity:
        return QString::number(line.quantity);
    case Discount:
        return line.discount.toString();
    case Total:
        return line.total.toString();
    case ItemId:
        return QString::number(line.itemId);
    default:
        return {};
    }
}

QVariant SaleLinesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const captions[Count] = {"条形码", "商品名称", "定价", "销售单价",
                                                "数量",   "折扣",     "合计", "商品id"};
    if (section < 0 || section >= Count)
        return {};
    return QString::fromUtf8(captions[section]);
}

void SaleLinesModel::append(const SaleLine& line) {
    const int row = int(m_lines.size());
    beginInsertRows({}, row, row);
    m_lines.append(line);
    endInsertRows();
}

void SaleLinesModel::removeLine(int row) {
    if (row < 0 || row >= m_lines.size())
        return;
    beginRemoveRows({}, row, row);
    m_lines.removeAt(row);
    endRemoveRows();
}

void SaleLinesModel::clear() {
    if (m_lines.isEmpty())
        return;
    beginResetModel();
    m_lines.clear();
    endResetModel();
}

Money SaleLinesModel::recount() {
    const Money sum = SalePricing::countPrice(m_lines);
    if (!m_lines.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(int(m_lines.size()) - 1, Count - 1));
    return sum;
}
