#pragma once

#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QToolBar;
class QString;

// Small pieces the form windows share.
namespace FormParts {

// The label of a required box, in bold.
QLabel* boldLabel(const QString& text);
// An editable drop-down offering items; typed text is taken as it is and
// not added to the list.
QComboBox* choiceBox(const QStringList& items = {});
// Fills a drop-down's list anew, keeping the text it shows.
void setChoices(QComboBox* box, const QStringList& items);
// A click in the box selects its whole text.
void selectAllOnClick(QLineEdit* box);
// The toolbar's buttons are reached with Tab and pressed with Enter or
// Space, so the window can be worked from the keyboard alone (call again
// after adding buttons).
void reachByKeyboard(QToolBar* toolbar);

} // namespace FormParts
