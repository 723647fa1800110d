#include "sales/core/PurchasePricing.h"

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
    std::optional<Money> value = Money::parse(text.trimmed());
    if (value && (value->isNegative() || *value > MaxPrice))
        return std::nullopt;
    return value;
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
    bool ok = false;
    const qint64 count = quantity.trimmed().toLongLong(&ok);
    const auto unit = amount(unitPriceText);
    if (!ok || count < 0 || count > MaxQuantity || !unit)
        return QString();
    return total(count, *unit).toString();
}

Result<Money> readAmount(const QString& text, const QString& field,
                         std::optional<Money> whenEmpty) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        if (whenEmpty)
            return *whenEmpty;
        return Error{QStringLiteral("字体加重的项目必须填写!")};
    }
    const std::optional<Money> value = Money::parse(trimmed);
    if (!value || value->isNegative())
        return Error{QStringLiteral("%1的数字格式不正确: \"%2\"").arg(field, text)};
    if (*value > MaxPrice)
        return Error{QStringLiteral("%1不能超过%2!").arg(field, MaxPrice.toString())};
    return *value;
}

Result<qint64> readQuantity(const QString& text, const QString& field) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return Error{QStringLiteral("字体加重的项目必须填写!")};
    bool ok = false;
    const qint64 value = trimmed.toLongLong(&ok);
    if (!ok || value < 0 || trimmed.startsWith(u'+') || trimmed.startsWith(u'-'))
        return Error{QStringLiteral("%1的数字格式不正确: \"%2\"").arg(field, text)};
    if (value > MaxQuantity)
        return Error{QStringLiteral("%1不能超过%2!").arg(field).arg(MaxQuantity)};
    return value;
}

} // namespace PurchasePricing
