#include "FuzzInput.h"
#include "ui/NumberEdit.h"

#include <QApplication>
#include <QRegularExpression>
#include <cstdio>
#include <cstdlib>

// Whatever is inserted into a number box, the box holds only digits (and
// one point in a decimal box), and reading it gives a value or a message.
namespace {

NumberEdit* box[2] = {};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    box[0] = new NumberEdit(NumberEdit::Kind::Digits);
    box[1] = new NumberEdit(NumberEdit::Kind::Decimal);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const bool decimal = in.take<std::uint8_t>() & 1;
    NumberEdit* edit = box[decimal ? 1 : 0];
    edit->clear();
    const QString text = in.restAsUtf16();
    for (const QString& piece : text.split(u'\x01'))
        edit->insert(piece);
    static const QRegularExpression digits(QStringLiteral("^[0-9]*$"));
    static const QRegularExpression amount(QStringLiteral("^[0-9]*\\.?[0-9]*$"));
    FUZZ_CHECK((decimal ? amount : digits).match(edit->text()).hasMatch());
    auto money = edit->money();
    FUZZ_CHECK(money.ok() || !money.error().isEmpty());
    auto integer = edit->integer();
    FUZZ_CHECK(integer.ok() || !integer.error().isEmpty());

    auto parsed = NumberEdit::parseMoney(text, QStringLiteral("金额"));
    if (parsed)
        FUZZ_CHECK(Money::parse(parsed.value().toString()) == parsed.value());
    else
        FUZZ_CHECK(!parsed.error().isEmpty());
    auto whole = NumberEdit::parseInteger(text, QStringLiteral("数量"));
    FUZZ_CHECK(whole.ok() || !whole.error().isEmpty());
    return 0;
}
