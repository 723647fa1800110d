#pragma once

#include <QStringList>

class QComboBox;
class QGridLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QToolBar;
class QString;
class QWidget;

// Small pieces the form windows share.
namespace FormParts {

// The label of a required box, in bold.
QLabel* boldLabel(const QString& text);
// An editable drop-down offering items; typed text is taken as it is and
// not added to the list.
QComboBox* choiceBox(const QStringList& items = {});
// An editable drop-down (as above) and a text box that take no more
// characters than column of table holds.
QComboBox* choiceBox(const QString& table, const QString& column);
QLineEdit* textBox(const QString& table, const QString& column);
// Fills a drop-down's list anew, keeping the text it shows.
void setChoices(QComboBox* box, const QStringList& items);
// A click in the box selects its whole text.
void selectAllOnClick(QLineEdit* box);
// The toolbar's buttons are reached with Tab and pressed with Enter or
// Space, so the window can be worked from the keyboard alone (call again
// after adding buttons).
void reachByKeyboard(QToolBar* toolbar);

// The label + box pairs of an add or edit window, two pairs a line in a
// grid, in the order added; the boxes are reached with Tab in that order.
// The label of a box a save needs is bold. The box columns take the width
// to spare.
//
//     FormParts::FormGrid form;
//     m_barcode = form.add("条形码", FormParts::textBox("出租库", "条形码"), Need::Required);
//     m_author = form.add("作者", FormParts::textBox("出租库", "作者"));
//     m_synopsis = form.addWide("简介", synopsisBox);
//     layout->addLayout(form.layout());
class FormGrid {
public:
    enum class Need { Optional, Required };
    FormGrid();

    QGridLayout* layout() const { return m_grid; }

    // The next pair.
    template <class Box> Box* add(const QString& caption, Box* box, Need need = Need::Optional) {
        place(caption, box, need);
        return box;
    }
    // A box on a line of its own, across the three cells after its label,
    // which stands at the top (a text of several lines).
    template <class Box> Box* addWide(const QString& caption, Box* box) {
        placeWide(caption, box);
        return box;
    }
    // A widget in the next pair's place, over both its cells.
    void addSpanning(QWidget* widget);
    // A layout on a line of its own, across all four cells.
    void addLine(QLayout* line);

private:
    void place(const QString& caption, QWidget* box, Need need);
    void placeWide(const QString& caption, QWidget* box);
    void nextLine();

    QGridLayout* m_grid;
    int m_next = 0; // pairs placed, counting a wide line as two
};

} // namespace FormParts
