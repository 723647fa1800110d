#pragma once
// Reading Code 128 bars back, as a scanner would, for the tests.
#include "output/core/Code128.h"

#include <QList>
#include <QString>
#include <optional>

namespace {

// Modules as a string of 1 (bar) and 0 (space).
QString binary(const QList<int>& widths) {
    QString bits;
    for (int i = 0; i < widths.size(); ++i)
        bits += QString(widths[i], i % 2 == 0 ? u'1' : u'0');
    return bits;
}

QString binaryOf(int value) {
    QList<int> widths;
    for (const QChar w : Code128::pattern(value))
        widths << w.digitValue();
    return binary(widths);
}

// Reads a symbol back from its bars as a scanner would: start A, eleven
// modules per character, check character, stop; nullopt when anything is
// wrong with it.
std::optional<QString> decode(const QList<int>& widths) {
    const QString bits = binary(widths);
    if (bits.size() < 11 + 11 + 13 || (bits.size() - 13) % 11 != 0)
        return std::nullopt;
    if (bits.right(13) != binaryOf(Code128::Stop))
        return std::nullopt;
    QList<int> values;
    for (int at = 0; at + 13 < bits.size(); at += 11) {
        const QString chunk = bits.mid(at, 11);
        int found = -1;
        for (int v = 0; v < Code128::Stop; ++v) {
            if (binaryOf(v) == chunk)
                found = v;
        }
        if (found < 0)
            return std::nullopt;
        values << found;
    }
    if (values.size() < 2 || values.first() != Code128::StartA)
        return std::nullopt;
    int sum = Code128::StartA;
    for (int i = 1; i < values.size() - 1; ++i)
        sum += values[i] * i;
    if (sum % 103 != values.last())
        return std::nullopt;
    QString text;
    for (int i = 1; i < values.size() - 1; ++i)
        text += values[i] < 64 ? QChar(values[i] + 32) : QChar(values[i] - 64);
    return text;
}

} // namespace
