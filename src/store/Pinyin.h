#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

// Search codes of goods names: the upper-case pinyin initial of each
// level-1 GB2312 character, worked out on the name's GBK bytes.

// Initial of the first two bytes (a one-byte text has 0 as second byte);
// a blank when the code lies in no letter's range.
QChar PinyinInitial(const QByteArray& gbkBytes);

// One initial per byte pair counted from the first byte, whatever the
// character boundaries; an odd last byte is dropped. So 光盘出租 gives
// "GPCZ", "ab12" two blanks, and an ASCII letter shifts the pairs after it.
QString PinyinCode(const QString& name);

// The GBK bytes the code is made from (GB18030's two-byte codes equal GBK's).
QByteArray toGbk(const QString& text);
