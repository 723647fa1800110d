#pragma once

#include "store/Connection.h"
#include "store/Result.h"
#include "ui/DataGrid.h"

#include <QDialog>
#include <QMap>
#include <QVariantMap>

class QAction;
class QCheckBox;
class QGridLayout;
class QLineEdit;
class QToolBar;
class NumberEdit;

// The reference-list pattern: a toolbar ("添加", "修改", "保存", "取消",
// "删除", "退出"), a form whose fields are bound to the current row of the
// table, and a read-only list of the table's rows. The window is browsing
// (form disabled, list enabled) or editing (form enabled, list disabled
// unless set otherwise); an edit is one pending row, saved or dropped as a
// whole.
//
//     TPlaceFm::TPlaceFm(QWidget* parent) : ReferenceListWindow("存放位置", parent) {
//         setWindowTitle("存放位置名设置");
//         addTextField("名称", "名称");
//         load();
//     }
//
// Per-table rules are the virtual hooks below.
class ReferenceListWindow : public QDialog {
    Q_OBJECT
public:
    enum class Tool { Add, Modify, Save, Cancel, Delete, Close };
    enum class FieldKind { Text, Money, Integer, YesNo };
    using Row = QVariantMap; // column -> value (QString, Money, qint64, bool, or null)

    // keyColumn identifies the row being changed or deleted; empty: the
    // table's key (its identity column, else its unique one). The delete
    // question names the first column.
    explicit ReferenceListWindow(const QString& table, QWidget* parent = nullptr,
                                 const QString& keyColumn = {},
                                 const QString& connectionName = Connection::Shared);

    const QString& table() const { return m_table; }
    DataGrid* grid() const { return m_grid; }
    QAction* tool(Tool which) const;
    bool isEditing() const { return m_editing; }
    bool isAdding() const { return m_editing && m_adding; }

    // Form fields, laid out in a grid of label/field pairs (two pairs a
    // line), each bound to a column.
    QLineEdit* addTextField(const QString& caption, const QString& column);
    NumberEdit* addMoneyField(const QString& caption, const QString& column);
    NumberEdit* addIntegerField(const QString& caption, const QString& column);
    QCheckBox* addYesNoField(const QString& caption, const QString& column);
    // A check box bound to column, placed at line/position of a layout of
    // the subclass's own (a panel added with addPanel).
    QCheckBox* addYesNoField(const QString& caption, const QString& column, QGridLayout* layout,
                             int line, int position);
    // A panel of the subclass's own, shown between the form and the list.
    void addPanel(QWidget* panel);
    QWidget* field(const QString& column) const;

    // The column whose empty value refuses a save with message ("请填写完整！").
    void setRequired(const QString& column,
                     const QString& message = QStringLiteral("请填写完整！"));
    // The value an empty field is saved with.
    void setDefaultOnSave(const QString& column, const QVariant& value);
    // Whether the list can still be browsed while a row is edited (default:
    // disabled). Browsing then moves neither the form nor the row being
    // saved: the pending row stays the one that was added or modified.
    void setListSelectableWhileEditing(bool selectable) { m_listWhileEditing = selectable; }

    // Reads the table again ("select * from <table>") and goes browsing.
    bool load();

    // The toolbar steps, callable from tests and subclasses.
    void add();
    void modify();
    bool save();
    void cancel();
    bool remove();

    // The current row of the list as the form shows it.
    Row currentRow() const;

Q_SIGNALS:
    void saved();
    void removed();

protected:
    // Values of a new row before the user types (columns not on the form
    // too: they are inserted as given). Default: nothing.
    virtual void prepareNewRow(Row& row);
    // Columns whose field stays disabled while the current row is edited
    // (e.g. the name of a protected row). Default: none.
    virtual QStringList lockedColumns(const Row& current) const;
    // Last rule before writing: fill defaults, or refuse with an error text
    // (shown, the window stays editing). Default: accept.
    virtual Status beforeSave(Row& row, bool adding);
    // A non-empty text refuses deleting the current row with that message.
    virtual QString refuseDelete(const Row& current) const;
    // The confirmation text of a delete: "您是否要删除" + '"' + ' ' + the
    // first column + '"'.
    virtual QString deleteQuestion(const Row& current) const;

    QGridLayout* formLayout() const { return m_form; }
    // The key of the row being modified, as it was when "修改" was pressed.
    const QVariant& editedKey() const { return m_editedKey; }

private:
    struct Binding {
        QString column;
        FieldKind kind;
        QWidget* widget;
    };
    void bindField(const QString& caption, QWidget* widget, const QString& column, FieldKind kind);
    void bind(QWidget* widget, const QString& column, FieldKind kind);
    void setEditing(bool editing);
    void arrangeTabOrder();
    void showRow(const Row& row);
    Result<Row> readForm() const;
    // Writes the pending row; gives its key.
    Result<QVariant> write(const Row& row);
    QString keyColumn() const;
    QString firstColumn() const;

    QString m_table;
    QString m_keyColumn;
    QString m_connection;
    QToolBar* m_toolbar;
    QMap<Tool, QAction*> m_tools;
    QWidget* m_formArea;
    QGridLayout* m_form;
    DataGrid* m_grid;
    QList<Binding> m_bindings;
    int m_formFields = 0; // fields laid out in the form
    QHash<QString, QString> m_required;
    QVariantMap m_defaults;
    bool m_editing = false;
    bool m_adding = false;
    bool m_listWhileEditing = false;
    Row m_pending;        // the new row's values (adding)
    QVariant m_editedKey; // key of the row being modified
};
