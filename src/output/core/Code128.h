#pragma once

#include "store/Result.h"

#include <QList>
#include <QString>

// Code 128 in code set A: upper-case letters, digits, punctuation and the
// control characters (ASCII 0 to 95). A symbol is the start character A,
// one symbol character per input character, the check character and the
// stop character; the bars are drawn from its module widths.
namespace Code128 {

inline constexpr int StartA = 103;
inline constexpr int Stop = 106;

struct Symbol {
    QString text;      // the human-readable text printed under the bars
    QList<int> values; // symbol values: start, data..., check, stop
    QList<int> widths; // element widths in modules, bar first, bars and spaces alternating
    int modules = 0;   // total width in modules (without quiet zones)
    int checkValue() const { return values.size() >= 2 ? values[values.size() - 2] : -1; }
};

// Element widths of symbol value 0..106 ("212222"; the stop has seven).
QString pattern(int value);

// The set A value of one character, or -1 when set A cannot encode it.
int valueInSetA(QChar c);

// Encodes text in set A with its check character. Refused, naming the
// character, for an empty text or one holding anything set A cannot
// encode (a lower-case letter, a Chinese character, anything above ASCII 95).
Result<Symbol> encodeA(const QString& text);

} // namespace Code128
