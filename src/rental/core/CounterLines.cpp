#include "rental/core/CounterLines.h"

#include "store/Clock.h"

CounterLines::CounterLines(QStringList captions, QObject* parent)
    : QAbstractTableModel(parent), m_captions(std::move(captions)) {}

int CounterLines::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int CounterLines::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_captions.size());
}

QVariant CounterLines::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section >= 0 && section < m_captions.size() ? QVariant(m_captions.at(section))
                                                       : QVariant();
}

QVariant CounterLines::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count() || index.column() >= m_captions.size())
        return {};
    if (role == Qt::DisplayRole)
        return text(index.row(), index.column());
    return {};
}

bool CounterLines::holds(const QString& barcode) const {
    for (int row = 0; row < count(); ++row)
        if (barcodeAt(row) == barcode)
            return true;
    return false;
}

void CounterLines::lineChanged(int row) {
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

RentLines::RentLines(QObject* parent)
    : LinesOf({QStringLiteral("条形码"), QStringLiteral("商品名称"), QStringLiteral("拼音"),
               QStringLiteral("商品类型"), QStringLiteral("押金"), QStringLiteral("每日租金")},
              parent) {}

void RentLines::add(const RentalLookup::Copy& copy, const RentalLookup::GoodsType& type,
                    RentPricing::DepositMode mode) {
    append(RentLine{copy.barcode, copy.name, copy.py, copy.goodsType,
                    RentPricing::lineDeposit(mode, type.deposit), type.dailyRent});
}

void RentLines::setDeposit(int row, Money deposit) {
    m_lines[row].deposit = deposit;
    lineChanged(row);
}

RentPricing::RentTotals RentLines::totals(RentPricing::DepositMode mode) const {
    QList<Money> deposits;
    for (const RentLine& line : m_lines)
        deposits.append(line.deposit);
    return RentPricing::countRent(deposits, mode);
}

QString RentLines::text(int row, int column) const {
    const RentLine& line = m_lines.at(row);
    switch (column) {
    case Barcode:
        return line.barcode;
    case Name:
        return line.name;
    case Py:
        return line.py;
    case GoodsType:
        return line.goodsType;
    case Deposit:
        return line.deposit.toString();
    case DailyRent:
        return line.dailyRent.toString();
    default:
        return {};
    }
}

ReturnLines::ReturnLines(QObject* parent)
    : LinesOf({QStringLiteral("条形码"), QStringLiteral("商品名称"), QStringLiteral("每日租金"),
               QStringLiteral("会员卡号"), QStringLiteral("会员姓名"), QStringLiteral("押金"),
               QStringLiteral("出租日期"), QStringLiteral("天数"), QStringLiteral("租金")},
              parent) {}

void ReturnLines::add(const RentalLookup::OpenRent& rent, const QDateTime& now) {
    const int days = RentPricing::chargedDays(rent.rentedAt, now);
    ReturnLine line{rent.id,
                    rent.barcode,
                    rent.name,
                    rent.card,
                    rent.memberName,
                    days,
                    RentPricing::rentFor(days, rent.dailyRent)};
    line.dailyRent = rent.dailyRent;
    line.deposit = rent.deposit;
    line.rentedAt = rent.rentedAt;
    append(line);
}

void ReturnLines::setRent(int row, Money rent) {
    m_lines[row].rent = rent;
    lineChanged(row);
}

RentPricing::ReturnTotals ReturnLines::totals() const {
    QList<RentPricing::ReturnLineAmounts> amounts;
    for (const ReturnLine& line : m_lines)
        amounts.append({line.deposit, line.rent});
    return RentPricing::countReturn(amounts);
}

QString ReturnLines::text(int row, int column) const {
    const ReturnLine& line = m_lines.at(row);
    switch (column) {
    case Barcode:
        return line.barcode;
    case Name:
        return line.name;
    case DailyRent:
        return line.dailyRent.toString();
    case Card:
        return line.card;
    case MemberName:
        return line.memberName;
    case Deposit:
        return line.deposit.toString();
    case RentedAt:
        return Clock::formatDateTime(line.rentedAt);
    case Days:
        return QString::number(line.days);
    case Rent:
        return line.rent.toString();
    default:
        return {};
    }
}
