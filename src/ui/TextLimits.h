#pragma once

#include <QString>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

// Text boxes take no more characters than the column they are saved in
// holds (Schema::textLength); an editable choice box limits its text box.
void limitToColumn(QLineEdit* box, const QString& table, const QString& column);
void limitToColumn(QComboBox* box, const QString& table, const QString& column);
// A multi-line box has no length of its own: text typed or pasted beyond
// the column's length is cut off there, as a line box refuses it.
void limitToColumn(QPlainTextEdit* box, const QString& table, const QString& column);
