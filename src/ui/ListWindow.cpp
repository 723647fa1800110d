#include "ui/ListWindow.h"

#include "ui/FormParts.h"

#include "store/Db.h"
#include "store/Schema.h"
#include "store/TableLists.h"
#include "ui/Prompt.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

ListWindow::ListWindow(const QString& table, QWidget* parent, const QString& connectionName)
    : QDialog(parent), m_table(table), m_connection(connectionName), m_toolbar(new QToolBar(this)),
      m_searchRow(new QWidget(this)), m_field(new QComboBox(m_searchRow)),
      m_search(new QLineEdit(m_searchRow)),
      m_find(new QPushButton(QStringLiteral("查找"), m_searchRow)), m_grid(new DataGrid(this)) {
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_field->setEditable(true);
    m_field->setMinimumContentsLength(8);
    m_find->setAutoDefault(false);

    auto* searchRow = new QHBoxLayout(m_searchRow);
    searchRow->setContentsMargins(0, 0, 0, 0);
    searchRow->addWidget(new QLabel(QStringLiteral("查找字段"), m_searchRow));
    searchRow->addWidget(m_field);
    searchRow->addWidget(new QLabel(QStringLiteral("查找内容"), m_searchRow));
    searchRow->addWidget(m_search, 1);
    searchRow->addWidget(m_find);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 6);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_searchRow);
    layout->addWidget(m_grid, 1);

    connect(m_find, &QPushButton::clicked, this, [this] { search(); });
    connect(m_search, &QLineEdit::returnPressed, this, [this] { search(); });
    resize(900, 560);
}

void ListWindow::hideSearch() {
    m_searchRow->hide();
}

QAction* ListWindow::addTool(const QString& caption) {
    QAction* action = m_toolbar->addAction(caption);
    FormParts::reachByKeyboard(m_toolbar);
    return action;
}

QAction* ListWindow::addShowAllTool(const QString& caption) {
    QAction* action = addTool(caption);
    connect(action, &QAction::triggered, this, [this] { showAll(); });
    return action;
}

QAction* ListWindow::addCloseTool(const QString& caption) {
    QAction* action = addTool(caption);
    connect(action, &QAction::triggered, this, &QDialog::reject);
    return action;
}

QAction* ListWindow::tool(const QString& caption) const {
    for (QAction* action : m_toolbar->actions())
        if (action->text() == caption)
            return action;
    return nullptr;
}

void ListWindow::setSearchFields(const QStringList& columns, const QString& initial) {
    QList<QPair<QString, QString>> pairs;
    for (const QString& column : columns)
        pairs.append({column, column});
    setSearchFields(pairs, initial);
}

void ListWindow::setSearchFields(const QList<QPair<QString, QString>>& captionsAndColumns,
                                 const QString& initial) {
    m_field->clear();
    for (const auto& [caption, column] : captionsAndColumns)
        m_field->addItem(caption, column);
    m_field->setCurrentIndex(-1);
    m_field->setEditText(initial);
    m_search->clear();
}

QString ListWindow::chosenColumn() const {
    const QString typed = m_field->currentText().trimmed();
    const int item = m_field->findText(typed);
    const QString column = item >= 0 ? m_field->itemData(item).toString() : typed;
    return Db(m_connection).hasColumn(m_table, column) ? column : QString();
}

bool ListWindow::runQuery(const ListQuery& query) {
    if (Status ran = m_grid->setQuery(query); !ran) {
        Prompt::error(this, ran.error());
        return false;
    }
    return true;
}

bool ListWindow::showAll() {
    return runQuery(TableLists::allRows(Db(m_connection), m_table));
}

bool ListWindow::search() {
    const QString column = chosenColumn();
    if (column.isEmpty()) {
        Prompt::warning(
            this, QStringLiteral("没有这个查找字段: %1").arg(m_field->currentText().trimmed()));
        return false;
    }
    // a password column is never searched: guessing it letter by letter
    // would read it without any window showing it
    for (const QString& secret : {QStringLiteral("密码"), QStringLiteral("pwd")}) {
        if (column.compare(secret, Qt::CaseInsensitive) == 0) {
            Prompt::warning(this, QStringLiteral("密码字段不能查找: %1").arg(column));
            return false;
        }
    }
    const QString typed = m_search->text().trimmed();
    if (Status fits = Db::checkSearchText(typed); !fits) {
        Prompt::warning(this, fits.error());
        return false;
    }
    return runQuery(TableLists::rowsContaining(Db(m_connection), m_table, column, typed));
}

bool ListWindow::refresh() {
    if (Status ran = m_grid->reload(); !ran) {
        Prompt::error(this, ran.error());
        return false;
    }
    return true;
}

bool ListWindow::permitted(bool allowed) {
    if (!allowed)
        Prompt::information(this, QStringLiteral("没有权限!"));
    return allowed;
}

bool ListWindow::removeCurrentRow(const QString& noRow, const QString& question,
                                  const std::function<Status()>& remove) {
    if (!requireCurrentRow(noRow) || !Prompt::question(this, question))
        return false;
    const int row = m_grid->currentRow();
    if (Status removed = remove(); !removed) {
        Prompt::error(this, removed.error());
        return false;
    }
    refresh();
    m_grid->setCurrentRow(qMin(row, m_grid->loadedRowCount() - 1));
    return true;
}

bool ListWindow::requireCurrentRow(const QString& message) {
    if (m_grid->hasCurrentRow())
        return true;
    if (!message.isEmpty())
        Prompt::warning(this, message);
    return false;
}
