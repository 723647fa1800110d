#pragma once

#include "store/Money.h"
#include "store/Result.h"

#include <QString>
#include <optional>

// The price, discount and total boxes of the purchase windows follow one
// another as the user types. A discount is purchase unit price ÷ list
// price (0.6: bought at 60 per cent); every result is rounded to four
// places, ties to the even neighbour.
namespace PurchasePricing {

// The unit price over the list price; nullopt for a list price of 0.
std::optional<Money> discount(Money unitPrice, Money listPrice);
Money unitPrice(Money listPrice, Money discount);
Money total(qint64 quantity, Money unitPrice);

// The same steps over the boxes' texts. nullopt: a box the rule needs is
// empty, the box keeps its text. An empty text: the inputs cannot give a
// value (malformed, or a list price of 0), the box is emptied.
std::optional<QString> discountText(const QString& listPrice, const QString& unitPrice);
std::optional<QString> unitPriceText(const QString& listPrice, const QString& discount);
std::optional<QString> totalText(const QString& quantity, const QString& unitPrice);

// Upper bounds of typed amounts, so that a total always fits.
inline constexpr qint64 MaxQuantity = 999999;
inline constexpr Money MaxPrice = Money::fromInt(100000000);

// Reads a typed amount: required ("字体加重的项目必须填写!" when empty),
// not malformed, not above MaxPrice. An empty text is allowed when
// whenEmpty is given.
Result<Money> readAmount(const QString& text, const QString& field,
                         std::optional<Money> whenEmpty = std::nullopt);
Result<qint64> readQuantity(const QString& text, const QString& field);

} // namespace PurchasePricing
