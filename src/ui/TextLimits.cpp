#include "ui/TextLimits.h"

#include "store/Schema.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

void limitToColumn(QLineEdit* box, const QString& table, const QString& column) {
    if (const int length = Schema::textLength(table, column); length > 0)
        box->setMaxLength(length);
}

void limitToColumn(QComboBox* box, const QString& table, const QString& column) {
    if (box->lineEdit())
        limitToColumn(box->lineEdit(), table, column);
}

void limitToColumn(QPlainTextEdit* box, const QString& table, const QString& column) {
    const int length = Schema::textLength(table, column);
    if (length <= 0)
        return;
    QObject::connect(box, &QPlainTextEdit::textChanged, box, [box, length] {
        const QString text = box->toPlainText();
        if (text.size() <= length)
            return;
        QTextCursor cursor = box->textCursor();
        const int position = std::min(cursor.position(), length);
        box->setPlainText(text.left(length));
        cursor = box->textCursor();
        cursor.setPosition(position);
        box->setTextCursor(cursor);
    });
}
