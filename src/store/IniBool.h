#pragma once

#include <QString>

// A yes/no setting of de.ini: "0" or the word false is no, any other number
// or the word true is yes (blanks around it and the case of the word do not
// matter); anything else is no.
inline bool iniYes(const QString& text) {
    const QString value = text.trimmed();
    if (value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    bool isNumber = false;
    const double number = value.toDouble(&isNumber);
    return isNumber && number != 0;
}
