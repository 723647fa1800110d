#pragma once

#include <QFont>
#include <QString>

namespace Fonts {

// The CJK-capable family the program asks for ("Noto Sans CJK SC", which
// the install step brings), or the best installed fallback.
QString cjkFamily();

// A font of that family in the given point size (0: the application's size).
QFont cjkFont(int pointSize = 0);

// Sets the application's font to the CJK family; every program calls this
// once after creating its QApplication.
void applyToApplication();

} // namespace Fonts
