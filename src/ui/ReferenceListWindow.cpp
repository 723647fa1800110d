#include "ui/ReferenceListWindow.h"

#include "ui/TextLimits.h"

#include "store/Db.h"
#include "store/Schema.h"
#include "store/TableLists.h"
#include "ui/FormParts.h"
#include "ui/NumberEdit.h"
#include "ui/Prompt.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

ReferenceListWindow::ReferenceListWindow(const QString& table, QWidget* parent,
                                         const QString& keyColumn, const QString& connectionName)
    : QDialog(parent), m_table(table), m_keyColumn(keyColumn), m_connection(connectionName),
      m_toolbar(new QToolBar(this)), m_formArea(new QWidget(this)),
      m_form(new QGridLayout(m_formArea)), m_grid(new DataGrid(this)) {
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const QList<QPair<Tool, QString>> tools = {
        {Tool::Add, QStringLiteral("添加")},    {Tool::Modify, QStringLiteral("修改")},
        {Tool::Save, QStringLiteral("保存")},   {Tool::Cancel, QStringLiteral("取消")},
        {Tool::Delete, QStringLiteral("删除")}, {Tool::Close, QStringLiteral("退出")}};
    for (const auto& [which, caption] : tools)
        m_tools.insert(which, m_toolbar->addAction(caption));
    FormParts::reachByKeyboard(m_toolbar);
    connect(m_tools[Tool::Add], &QAction::triggered, this, &ReferenceListWindow::add);
    connect(m_tools[Tool::Modify], &QAction::triggered, this, &ReferenceListWindow::modify);
    connect(m_tools[Tool::Save], &QAction::triggered, this, [this] { save(); });
    connect(m_tools[Tool::Cancel], &QAction::triggered, this, &ReferenceListWindow::cancel);
    connect(m_tools[Tool::Delete], &QAction::triggered, this, [this] { remove(); });
    connect(m_tools[Tool::Close], &QAction::triggered, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 6);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_formArea);
    layout->addWidget(m_grid, 1);

    connect(m_grid, &DataGrid::currentRowChanged, this, [this] {
        if (!m_editing)
            showRow(currentRow());
    });
    setEditing(false);
    resize(560, 440);
}

QAction* ReferenceListWindow::tool(Tool which) const {
    return m_tools.value(which);
}

void ReferenceListWindow::bindField(const QString& caption, QWidget* widget, const QString& column,
                                    FieldKind kind) {
    const int index = m_formFields++;
    const int line = index / 2;
    const int pair = (index % 2) * 2;
    if (kind == FieldKind::YesNo) {
        m_form->addWidget(widget, line, pair + 1);
    } else {
        auto* label = new QLabel(caption, m_formArea);
        label->setBuddy(widget);
        m_form->addWidget(label, line, pair);
        m_form->addWidget(widget, line, pair + 1);
    }
    bind(widget, column, kind);
}

void ReferenceListWindow::bind(QWidget* widget, const QString& column, FieldKind kind) {
    widget->setObjectName(column);
    widget->setEnabled(m_editing);
    m_bindings.append({column, kind, widget});
}

void ReferenceListWindow::addPanel(QWidget* panel) {
    auto* box = static_cast<QVBoxLayout*>(layout());
    box->insertWidget(box->indexOf(m_grid), panel);
}

QLineEdit* ReferenceListWindow::addTextField(const QString& caption, const QString& column) {
    auto* edit = new QLineEdit(m_formArea);
    limitToColumn(edit, m_table, column);
    bindField(caption, edit, column, FieldKind::Text);
    return edit;
}

NumberEdit* ReferenceListWindow::addMoneyField(const QString& caption, const QString& column) {
    auto* edit = new NumberEdit(NumberEdit::Kind::Decimal, m_formArea);
    edit->setFieldName(caption);
    bindField(caption, edit, column, FieldKind::Money);
    m_grid->setMoneyColumns([&] {
        QStringList money;
        for (const Binding& b : m_bindings)
            if (b.kind == FieldKind::Money)
                money << b.column;
        return money;
    }());
    return edit;
}

NumberEdit* ReferenceListWindow::addIntegerField(const QString& caption, const QString& column) {
    auto* edit = new NumberEdit(NumberEdit::Kind::Digits, m_formArea);
    edit->setFieldName(caption);
    bindField(caption, edit, column, FieldKind::Integer);
    return edit;
}

QCheckBox* ReferenceListWindow::addYesNoField(const QString& caption, const QString& column,
                                              QGridLayout* layout, int line, int position) {
    auto* box = new QCheckBox(caption, layout->parentWidget());
    layout->addWidget(box, line, position);
    bind(box, column, FieldKind::YesNo);
    QStringList yesNo;
    for (const Binding& b : m_bindings)
        if (b.kind == FieldKind::YesNo)
            yesNo << b.column;
    m_grid->setYesNoColumns(yesNo);
    return box;
}

QCheckBox* ReferenceListWindow::addYesNoField(const QString& caption, const QString& column) {
    auto* box = new QCheckBox(caption, m_formArea);
    bindField(caption, box, column, FieldKind::YesNo);
    QStringList yesNo;
    for (const Binding& b : m_bindings)
        if (b.kind == FieldKind::YesNo)
            yesNo << b.column;
    m_grid->setYesNoColumns(yesNo);
    return box;
}

QWidget* ReferenceListWindow::field(const QString& column) const {
    for (const Binding& b : m_bindings)
        if (b.column == column)
            return b.widget;
    return nullptr;
}

void ReferenceListWindow::setRequired(const QString& column, const QString& message) {
    m_required.insert(column, message);
}

void ReferenceListWindow::setDefaultOnSave(const QString& column, const QVariant& value) {
    m_defaults.insert(column, value);
}

bool ReferenceListWindow::load() {
    setEditing(false);
    arrangeTabOrder();
    // the key tells rows apart; shown only where the form edits it
    if (!field(keyColumn()) && !m_grid->hiddenColumns().contains(keyColumn()))
        m_grid->setHiddenColumns(QStringList(m_grid->hiddenColumns()) << keyColumn());
    const Status ran = m_grid->setQuery(TableLists::storedRows(Db(m_connection), m_table));
    if (!ran) {
        Prompt::error(this, ran.error());
        return false;
    }
    showRow(currentRow());
    return true;
}

void ReferenceListWindow::arrangeTabOrder() {
    // the form's boxes, then 保存 and the other tools, then the list;
    // Tab skips what is disabled
    QList<QWidget*> chain;
    for (const Binding& b : std::as_const(m_bindings))
        chain << b.widget;
    for (Tool which :
         {Tool::Save, Tool::Cancel, Tool::Add, Tool::Modify, Tool::Delete, Tool::Close})
        if (QWidget* button = m_toolbar->widgetForAction(m_tools[which]))
            chain << button;
    chain << m_grid->view();
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void ReferenceListWindow::setEditing(bool editing) {
    m_editing = editing;
    m_tools[Tool::Add]->setEnabled(!editing);
    m_tools[Tool::Modify]->setEnabled(!editing);
    m_tools[Tool::Delete]->setEnabled(!editing);
    m_tools[Tool::Save]->setEnabled(editing);
    m_tools[Tool::Cancel]->setEnabled(editing);
    for (const Binding& b : m_bindings)
        b.widget->setEnabled(editing);
    // one pending row at a time, kept by its key while the list is browsed
    m_grid->setEnabled(!editing || m_listWhileEditing);
}

ReferenceListWindow::Row ReferenceListWindow::currentRow() const {
    Row row;
    const QSqlRecord record = m_grid->currentRecord();
    if (record.isEmpty())
        return row;
    for (int i = 0; i < record.count(); ++i)
        row.insert(record.fieldName(i), record.value(i));
    const Dialect& dialect = m_grid->model()->dialect();
    for (const Binding& b : m_bindings) {
        const QVariant stored = record.value(b.column);
        switch (b.kind) {
        case FieldKind::Text:
            row[b.column] = stored.isNull() ? QString() : stored.toString();
            break;
        case FieldKind::Money:
            row[b.column] =
                stored.isNull() ? QVariant() : QVariant::fromValue(dialect.decodeMoney(stored));
            break;
        case FieldKind::Integer:
            row[b.column] = stored.isNull() ? QVariant() : QVariant(stored.toLongLong());
            break;
        case FieldKind::YesNo:
            row[b.column] = !stored.isNull() && stored.toBool();
            break;
        }
    }
    return row;
}

void ReferenceListWindow::showRow(const Row& row) {
    for (const Binding& b : m_bindings) {
        const QVariant value = row.value(b.column);
        switch (b.kind) {
        case FieldKind::Text:
            static_cast<QLineEdit*>(b.widget)->setText(value.toString());
            break;
        case FieldKind::Money:
            static_cast<QLineEdit*>(b.widget)->setText(
                value.isNull() ? QString()
                : value.canConvert<Money>() && value.typeId() == qMetaTypeId<Money>()
                    ? value.value<Money>().toString()
                    : value.toString());
            break;
        case FieldKind::Integer:
            static_cast<QLineEdit*>(b.widget)->setText(value.isNull() ? QString()
                                                                      : value.toString());
            break;
        case FieldKind::YesNo:
            static_cast<QCheckBox*>(b.widget)->setChecked(!value.isNull() && value.toBool());
            break;
        }
    }
}

void ReferenceListWindow::prepareNewRow(Row&) {}

QStringList ReferenceListWindow::lockedColumns(const Row&) const {
    return {};
}

Status ReferenceListWindow::beforeSave(Row&, bool) {
    return {};
}

QString ReferenceListWindow::refuseDelete(const Row&) const {
    return {};
}

QString ReferenceListWindow::deleteQuestion(const Row& current) const {
    return QStringLiteral("您是否要删除\" %1\"").arg(current.value(firstColumn()).toString());
}

QString ReferenceListWindow::firstColumn() const {
    const QSqlRecord record = m_grid->model()->record();
    if (!record.isEmpty())
        return record.fieldName(0);
    const QStringList columns = Db(m_connection).columns(m_table);
    return columns.isEmpty() ? QString() : columns.first();
}

QString ReferenceListWindow::keyColumn() const {
    return m_keyColumn.isEmpty() ? Schema::rowKey(m_table) : m_keyColumn;
}

void ReferenceListWindow::add() {
    if (m_editing)
        return;
    m_pending.clear();
    for (const Binding& b : m_bindings)
        if (b.kind == FieldKind::YesNo)
            m_pending.insert(b.column, false);
    prepareNewRow(m_pending);
    m_adding = true;
    setEditing(true);
    showRow(m_pending);
    if (!m_bindings.isEmpty())
        m_bindings.first().widget->setFocus();
}

void ReferenceListWindow::modify() {
    if (m_editing)
        return;
    if (!m_grid->hasCurrentRow()) {
        Prompt::warning(this, QStringLiteral("没有可修改的记录!"));
        return;
    }
    const Row current = currentRow();
    m_editedKey = current.value(keyColumn());
    m_adding = false;
    setEditing(true);
    showRow(current);
    const QStringList locked = lockedColumns(current);
    QWidget* first = nullptr;
    for (const Binding& b : m_bindings) {
        const bool open = !locked.contains(b.column);
        b.widget->setEnabled(open);
        if (open && !first)
            first = b.widget;
    }
    if (first)
        first->setFocus();
}

Result<ReferenceListWindow::Row> ReferenceListWindow::readForm() const {
    Row row = m_adding ? m_pending : Row();
    for (const Binding& b : m_bindings) {
        QVariant value;
        switch (b.kind) {
        case FieldKind::Text: {
            const QString text = static_cast<QLineEdit*>(b.widget)->text();
            if (!text.trimmed().isEmpty())
                value = text;
            break;
        }
        case FieldKind::Money: {
            auto* edit = static_cast<NumberEdit*>(b.widget);
            if (!edit->text().trimmed().isEmpty()) {
                auto amount = edit->money();
                if (!amount)
                    return Error{amount.error()};
                value = QVariant::fromValue(amount.value());
            }
            break;
        }
        case FieldKind::Integer: {
            auto* edit = static_cast<NumberEdit*>(b.widget);
            if (!edit->text().trimmed().isEmpty()) {
                auto number = edit->integer();
                if (!number)
                    return Error{number.error()};
                value = number.value();
            }
            break;
        }
        case FieldKind::YesNo:
            value = static_cast<QCheckBox*>(b.widget)->isChecked();
            break;
        }
        row.insert(b.column, value);
    }
    return row;
}

bool ReferenceListWindow::save() {
    if (!m_editing)
        return false;
    auto form = readForm();
    if (!form) {
        Prompt::warning(this, form.error());
        return false;
    }
    Row row = form.value();
    for (auto it = m_required.cbegin(); it != m_required.cend(); ++it) {
        if (row.value(it.key()).isNull()) {
            Prompt::warning(this, it.value());
            if (QWidget* w = field(it.key()))
                w->setFocus();
            return false;
        }
    }
    for (auto it = m_defaults.cbegin(); it != m_defaults.cend(); ++it)
        if (row.value(it.key()).isNull())
            row.insert(it.key(), it.value());
    if (Status ruled = beforeSave(row, m_adding); !ruled) {
        Prompt::warning(this, ruled.error());
        return false;
    }
    auto written = write(row);
    if (!written) {
        // the pending row stays in the form, to be corrected or cancelled
        Prompt::error(this, written.error());
        return false;
    }
    const QVariant key = written.value();
    setEditing(false);
    m_pending.clear();
    if (Status ran = m_grid->reload(); !ran)
        Prompt::error(this, ran.error());
    if (!key.isNull())
        m_grid->locate(keyColumn(), key);
    showRow(currentRow());
    Q_EMIT saved();
    return true;
}

Result<QVariant> ReferenceListWindow::write(const Row& row) {
    const Db db(m_connection);
    if (m_adding)
        return TableLists::insertRow(db, m_table, row, keyColumn());
    QVariantMap values;
    for (const Binding& b : m_bindings)
        values.insert(b.column, row.value(b.column));
    // Names need not be unique: the row chosen is found by its key.
    if (Status updated = TableLists::updateRow(db, m_table, values, keyColumn(), m_editedKey);
        !updated)
        return Error{updated.error()};
    return row.contains(keyColumn()) ? row.value(keyColumn()) : m_editedKey;
}

void ReferenceListWindow::cancel() {
    if (!m_editing)
        return;
    m_pending.clear();
    setEditing(false);
    showRow(currentRow());
}

bool ReferenceListWindow::remove() {
    if (m_editing)
        return false;
    if (!m_grid->hasCurrentRow()) {
        Prompt::warning(this, QStringLiteral("没有可删除的记录!"));
        return false;
    }
    const Row current = currentRow();
    if (const QString refused = refuseDelete(current); !refused.isEmpty()) {
        Prompt::warning(this, refused);
        return false;
    }
    if (!Prompt::question(this, deleteQuestion(current)))
        return false;
    const int row = m_grid->currentRow();
    if (Status deleted = TableLists::deleteRow(Db(m_connection), m_table, keyColumn(),
                                               current.value(keyColumn()));
        !deleted) {
        Prompt::error(this, deleted.error());
        return false;
    }
    if (Status ran = m_grid->reload(); !ran)
        Prompt::error(this, ran.error());
    m_grid->setCurrentRow(qMin(row, m_grid->loadedRowCount() - 1));
    showRow(currentRow());
    Q_EMIT removed();
    return true;
}
