#pragma once

#include <QString>

// What the database kind of de.ini ("a" embedded file, "s" server) says
// about literals. They describe the kind only: values always go into
// statements as bound parameters. The comparison is exact, so "S" is no kind.
QString SqlQuoteChar(const QString& kind);
QString SqlDateDelimiter(const QString& kind);
