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

TypedNumber::WholeField quantityField(const QString& name) {
    auto field = TypedNumber::sayingOnly<qint64>(
        name + QStringLiteral("的数字格式不正确: \"%1\"(应为1到") + QString::number(MaxQuantity) +
            QStringLiteral("的整数)"),
        0, MaxQuantity);
    field.texts.missing = QStringLiteral("请输入数量!");
    return field;
}

} // namespace SalePricing
