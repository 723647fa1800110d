#include "sales/core/PurchasePricing.h"

#include "store/TypedNumber.h"

namespace PurchasePricing {

std::optional<Money> discount(Money unitPrice, Money listPrice) {
    return unitPrice.dividedBy(listPrice);
}

Money unitPrice(Money listPrice, Money discount) {
    return listPrice * discount;
}

Money total(qint64 quantity, Money unitPrice) {
    return unitPrice * quantity;
}

namespace {

std::optional<Money> amount(const QString& text) {
    auto value = readAmount(text, {});
    return value ? std::optional<Money>(value.value()) : std::nullopt;
}

} // namespace

std::optional<QString> discountText(const QString& listPrice, const QString& unitPriceText) {
    if (listPrice.trimmed().isEmpty() || unitPriceText.trimmed().isEmpty())
        return std::nullopt;
    const auto list = amount(listPrice);
    const auto unit = amount(unitPriceText);
    if (!list || !unit)
        return QString();
    const auto result = discount(*unit, *list);
    return result ? result->toString() : QString();
}

std::optional<QString> unitPriceText(const QString& listPrice, const QString& discountText) {
    if (listPrice.trimmed().isEmpty() || discountText.trimmed().isEmpty())
        return std::nullopt;
    const auto list = amount(listPrice);
    const auto rate = amount(discountText);
    if (!list || !rate)
        return QString();
    return unitPrice(*list, *rate).toString();
}

std::optional<QString> totalText(const QString& quantity, const QString& unitPriceText) {
    if (quantity.trimmed().isEmpty() || unitPriceText.trimmed().isEmpty())
        return std::nullopt;
    const auto count = readQuantity(quantity, {});
    const auto unit = amount(unitPriceText);
    if (!count || !unit)
        return QString();
    return total(count.value(), *unit).toString();
}

Result<Money> readAmount(const QString& text, const QString& field,
                         std::optional<Money> whenEmpty) {
    return TypedNumber::read(text, TypedNumber::itemAmount(field, MaxPrice, whenEmpty));
}

Result<qint64> readQuantity(const QString& text, const QString& field) {
    return TypedNumber::read(text, TypedNumber::itemCount(field, MaxQuantity));
}

} // namespace PurchasePricing
