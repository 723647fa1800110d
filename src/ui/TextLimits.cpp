#include "ui/TextLimits.h"

#include "store/Schema.h"

#include <QComboBox>
#include <QLineEdit>

void limitToColumn(QLineEdit* box, const QString& table, const QString& column) {
    if (const int length = Schema::textLength(table, column); length > 0)
        box->setMaxLength(length);
}

void limitToColumn(QComboBox* box, const QString& table, const QString& column) {
    if (box->lineEdit())
        limitToColumn(box->lineEdit(), table, column);
}
