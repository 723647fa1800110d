#pragma once

#include "store/ListQuery.h"
#include "store/Result.h"
#include "ui/DataGrid.h"

#include <QDate>
#include <QDialog>
#include <QList>
#include <QStringList>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QToolBar;

// The record-query pattern: a toolbar ("查询", "导出Excel", "打印", "退出"),
// a filter panel (text boxes, date ranges each behind a check box, an
// optional drop-down) and the grid with its footer. The concrete window
// says what the panel holds, turns the panel's input into a statement
// (searchQuery) and wires "导出Excel" and "打印".
//
//     TXxxFm::TXxxFm(...) : RecordQueryWindow(form, parent) {
//         grid()->setFooter("id", {"金额"});
//         showList(firstQuery);
//     }
class RecordQueryWindow : public QDialog {
    Q_OBJECT
public:
    struct Form {
        QString title;
        QStringList textCaptions;  // one text box each, in order
        QStringList rangeCaptions; // one date range each, in order
        QDate rangeFrom;           // where the start pickers begin
        QDate rangeTo;             // where the end pickers begin
        QString choiceCaption;     // a drop-down when choices is not empty
        QStringList choices;       // the first one is chosen at first
    };
    struct Range {
        QDate from;
        QDate to;
    };
    // What the panel holds: the texts as typed, one range per date range
    // (nullopt when its box is unticked) and the chosen entry.
    struct Input {
        QStringList texts;
        QList<std::optional<Range>> ranges;
        QString choice;
    };

    explicit RecordQueryWindow(const Form& form, QWidget* parent = nullptr);

    DataGrid* grid() const { return m_grid; }
    QAction* tool(const QString& caption) const;
    QLineEdit* textBox(int index) const { return m_texts.value(index); }
    QCheckBox* rangeBox(int index) const { return m_rangeBoxes.value(index); }
    QDateEdit* fromPicker(int index) const { return m_from.value(index); }
    QDateEdit* toPicker(int index) const { return m_to.value(index); }
    QComboBox* choiceBox() const { return m_choice; }

    Input input() const;

    // Shows the rows of query; on failure says why and keeps the last good
    // rows. Gives whether it succeeded.
    bool showList(const ListQuery& query);
    // "查询": the window's statement for the panel's input. A refusal is
    // shown and changes nothing; no statement leaves the list as it was.
    bool search();

protected:
    virtual Result<std::optional<ListQuery>> searchQuery(const Input& input) const = 0;
    // "导出Excel" and "打印" over grid()->currentQuery().
    virtual void exportList() = 0;
    virtual void printList() = 0;

private:
    QToolBar* m_toolbar;
    QList<QLineEdit*> m_texts;
    QList<QCheckBox*> m_rangeBoxes;
    QList<QDateEdit*> m_from;
    QList<QDateEdit*> m_to;
    QComboBox* m_choice = nullptr;
    DataGrid* m_grid;
};
