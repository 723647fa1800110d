#include "sales/core/SaleLine.h"

namespace SalePricing {

SaleLine makeLine(const QString& barcode, const QString& name, Money listPrice, qint64 quantity,
                  Money discount, qint64 itemId) {
    SaleLine line;
    line.barcode = barcode;
    line.name = name;
    line.listPrice = listPrice;
    line.unitPrice = listPrice * discount;
    line.quantity = quantity;
    line.discount = discount;
    line.total = line.unitPrice * quantity;
    line.itemId = itemId;
    return line;
}

Money countPrice(QList<SaleLine>& lines) {
    Money sum;
    for (SaleLine& line : lines) {
        sum += line.total;
        line.unitPrice = line.total.dividedBy(line.quantity).value_or(line.total);
        line.discount = line.unitPrice.dividedBy(line.listPrice).value_or(Money());
    }
    return sum;
}

std::optional<qint64> parseQuantity(const QString& text) {
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const qint64 value = text.toLongLong();
    if (value > MaxQuantity)
        return std::nullopt;
    return value;
}

std::optional<Money> parseAmount(const QString& text) {
    if (text.startsWith(u'-') || text.startsWith(u'+'))
        return std::nullopt;
    return Money::parse(text);
}

} // namespace SalePricing
