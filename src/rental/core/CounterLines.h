#pragma once

#include "rental/core/RentBooking.h"
#include "rental/core/RentPricing.h"
#include "rental/core/RentalLookup.h"
#include "rental/core/ReturnBooking.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>
#include <QStringList>

// The lines of the rent and the return counter as plain values, shown as a
// read-only table (every value as text) and handed to the booking as they
// are. Columns 0 and 1 are the barcode and the goods name.
class CounterLines : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CounterLines(QStringList captions, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    bool isEmpty() const { return rowCount() == 0; }
    virtual QString barcodeAt(int row) const = 0;
    virtual QString nameAt(int row) const = 0;
    // Whether a line of this barcode is in the list already.
    bool holds(const QString& barcode) const;
    virtual void removeLine(int row) = 0;
    virtual void clear() = 0;

protected:
    virtual int count() const = 0;
    virtual QString text(int row, int column) const = 0;
    void lineChanged(int row);

private:
    QStringList m_captions;
};

// The lines of a counter over one kind of line value.
template <typename Line> class LinesOf : public CounterLines {
public:
    using CounterLines::CounterLines;

    const QList<Line>& lines() const { return m_lines; }
    const Line& line(int row) const { return m_lines.at(row); }
    void append(const Line& line) {
        const int row = int(m_lines.size());
        beginInsertRows({}, row, row);
        m_lines.append(line);
        endInsertRows();
    }
    QString barcodeAt(int row) const override { return m_lines.at(row).barcode; }
    QString nameAt(int row) const override { return m_lines.at(row).name; }
    void removeLine(int row) override {
        if (row < 0 || row >= m_lines.size())
            return;
        beginRemoveRows({}, row, row);
        m_lines.removeAt(row);
        endRemoveRows();
    }
    void clear() override {
        if (m_lines.isEmpty())
            return;
        beginResetModel();
        m_lines.clear();
        endResetModel();
    }

protected:
    int count() const override { return int(m_lines.size()); }
    QList<Line> m_lines;
};

// The rent counter's lines: 条形码, 商品名称, 拼音, 商品类型, 押金, 每日租金.
class RentLines : public LinesOf<RentLine> {
    Q_OBJECT
public:
    enum Column { Barcode, Name, Py, GoodsType, Deposit, DailyRent, ColumnCount };

    explicit RentLines(QObject* parent = nullptr);

    // A line of the copy, its deposit the goods type's or 0 as the mode says.
    void add(const RentalLookup::Copy& copy, const RentalLookup::GoodsType& type,
             RentPricing::DepositMode mode);
    void setDeposit(int row, Money deposit);
    RentPricing::RentTotals totals(RentPricing::DepositMode mode) const;

protected:
    QString text(int row, int column) const override;
};

// The return counter's lines: 条形码, 商品名称, 每日租金, 会员卡号, 会员姓名,
// 押金, 出租日期, 天数, 租金.
class ReturnLines : public LinesOf<ReturnLine> {
    Q_OBJECT
public:
    enum Column {
        Barcode,
        Name,
        DailyRent,
        Card,
        MemberName,
        Deposit,
        RentedAt,
        Days,
        Rent,
        ColumnCount
    };

    explicit ReturnLines(QObject* parent = nullptr);

    // A line settling the open rent, brought back at `now`: the days kept
    // and the rent due for them.
    void add(const RentalLookup::OpenRent& rent, const QDateTime& now);
    // A rent changed by hand; the days stay.
    void setRent(int row, Money rent);
    RentPricing::ReturnTotals totals() const;

protected:
    QString text(int row, int column) const override;
};
