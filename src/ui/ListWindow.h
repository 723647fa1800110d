#pragma once

#include "store/ListQuery.h"
#include "ui/DataGrid.h"

#include <QDialog>

#include <functional>

class QAction;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolBar;

// The list-window pattern: a toolbar of the buttons the concrete window
// adds ("添加", "修改", "删除", "显示全部", "EXCEL", "打印", "打印条码",
// "退出", in the order it adds them), a search row (field chooser, search
// box, "查找") and the grid over the window's table with its footer.
//
//     THyKuFm::THyKuFm(...) : ListWindow(QStringLiteral("会员库"), parent) {
//         setWindowTitle(QStringLiteral("会员资料"));
//         connect(addTool(QStringLiteral("添加")), &QAction::triggered, this, &THyKuFm::add);
//         ...
//         addShowAllTool();
//         addCloseTool();
//         setSearchFields({"会员卡号", "会员姓名", "联系方式", "住址"}, "会员姓名");
//         grid()->setMoneyColumns({"卡内金额", "会员积分"});
//         grid()->setFooter("会员卡号", {"卡内金额"});
//         showAll();
//     }
class ListWindow : public QDialog {
    Q_OBJECT
public:
    explicit ListWindow(const QString& table, QWidget* parent = nullptr,
                        const QString& connectionName = Connection::Shared);

    const QString& table() const { return m_table; }
    DataGrid* grid() const { return m_grid; }
    // The rows as shown (search and sort applied), for export and printing.
    ListQuery currentQuery() const { return m_grid->currentQuery(); }

    // A toolbar button at the right end of the toolbar; connect its triggered().
    QAction* addTool(const QString& caption);
    // "显示全部" connected to showAll(), "退出" connected to closing.
    QAction* addShowAllTool(const QString& caption = QStringLiteral("显示全部"));
    QAction* addCloseTool(const QString& caption = QStringLiteral("退出"));
    // The toolbar button with this caption, or nullptr.
    QAction* tool(const QString& caption) const;

    // The field chooser's items: real column names, or caption -> column
    // pairs; initial is the text it starts with. The chooser is editable:
    // a typed name must be one of the table's columns.
    void setSearchFields(const QStringList& columns, const QString& initial = {});
    void setSearchFields(const QList<QPair<QString, QString>>& captionsAndColumns,
                         const QString& initial = {});

    // A list without searching (e.g. a log): the search row is not shown.
    void hideSearch();

    QComboBox* fieldChooser() const { return m_field; }
    QLineEdit* searchBox() const { return m_search; }
    QPushButton* searchButton() const { return m_find; }

    // Every row of the table, pictures left out (TableLists::allRows). Returns
    // false (after a message) when it fails.
    bool showAll();
    // "查找": the rows whose chosen column contains the trimmed search text
    // (with an empty text: every row where the column is not empty). An
    // unknown column is refused with a message and the list stays as it was.
    bool search();
    // The same statement again, after the window changed rows.
    bool refresh();

    // Whether there is a current row; otherwise shows message (when given)
    // and gives false: "修改"/"删除" with an empty list are refused.
    bool requireCurrentRow(const QString& message = QStringLiteral("没有选中的记录!"));

    // A permission gate: without the permission, "没有权限!" and false.
    bool permitted(bool allowed);
    // "删除" of the current row after question (asked only when there is a
    // current row; without one, noRow is shown). remove does the deleting;
    // its failure is shown as its message. The list is then shown again with
    // the row that took the deleted one's place current. True when deleted.
    bool removeCurrentRow(const QString& noRow, const QString& question,
                          const std::function<Status()>& remove);

    // The column the chooser names, or empty when it names none.
    QString chosenColumn() const;

protected:
    bool runQuery(const ListQuery& query);

private:
    QString m_table;
    QString m_connection;
    QToolBar* m_toolbar;
    QWidget* m_searchRow;
    QComboBox* m_field;
    QLineEdit* m_search;
    QPushButton* m_find;
    DataGrid* m_grid;
};
