#pragma once

#include <QString>

class QComboBox;
class QLineEdit;

// Text boxes take no more characters than the column they are saved in
// holds (Schema::textLength); an editable choice box limits its text box.
void limitToColumn(QLineEdit* box, const QString& table, const QString& column);
void limitToColumn(QComboBox* box, const QString& table, const QString& column);
