#include "ui/DataGrid.h"

#include "store/Db.h"
#include "ui/GridFooter.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

DataGrid::DataGrid(QWidget* parent)
    : QWidget(parent), m_model(new GridModel(this)), m_view(new QTableView(this)),
      m_footer(new GridFooter(m_view, m_model, this)) {
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 8);
    m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_view->setSortingEnabled(true);
    m_view->setAlternatingRowColors(true);
    m_view->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view);
    layout->addWidget(m_footer);

    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                Q_EMIT currentRowChanged(current.isValid() ? current.row() : -1);
            });
    connect(m_view, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { Q_EMIT rowActivated(index.row()); });
    // a header sort resets the model: the first row becomes current again
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applyColumns();
        if (m_model->rowCount() > 0)
            setCurrentRow(0);
        else
            Q_EMIT currentRowChanged(-1);
    });
    QHeaderView* header = m_view->horizontalHeader();
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QWidget::customContextMenuRequested, this, &DataGrid::showValueMenu);
}

DataGrid::~DataGrid() {
    // the view and the model must not call back into a grid being
    // destroyed; the model's reads still running are stopped as it goes
    m_view->removeEventFilter(this);
    m_model->disconnect(this);
    delete m_footer;
    delete m_view;
}

Status DataGrid::setQuery(const ListQuery& query) {
    for (const QVariant& param : query.params) {
        if (Status storable = Db::checkStorable(param); !storable)
            return storable;
    }
    m_view->horizontalHeader()->blockSignals(true);
    m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_view->horizontalHeader()->blockSignals(false);
    Status ran = m_model->setListQuery(query);
    if (!ran)
        return ran;
    m_base = query;
    m_model->setFilteredColumns({});
    afterQuery();
    return {};
}

Status DataGrid::reload() {
    if (m_base.sql.isEmpty())
        return {};
    return applyFilters(m_model->filters());
}

Status DataGrid::applyFilters(const QList<ValueFilter>& filters) {
    Status ran = m_model->setFilters(filters);
    if (!ran)
        return ran;
    QStringList columns;
    for (const ValueFilter& filter : filters)
        columns << filter.column;
    m_model->setFilteredColumns(columns);
    afterQuery();
    return {};
}

Status DataGrid::setValueFilter(const QString& column, const QVariant& value) {
    if (m_model->columnIndex(column) < 0)
        return Error{QStringLiteral("没有这个字段: %1").arg(column)};
    QList<ValueFilter> filters = m_model->filters();
    filters.removeIf([&](const ValueFilter& filter) { return filter.column == column; });
    filters.append({column, value});
    // on failure the filters stay as they were
    return applyFilters(filters);
}

Status DataGrid::clearValueFilter(const QString& column) {
    QList<ValueFilter> filters = m_model->filters();
    const qsizetype removed = filters.removeIf(
        [&](const ValueFilter& filter) { return column.isEmpty() || filter.column == column; });
    if (removed == 0 || m_base.sql.isEmpty())
        return {};
    return applyFilters(filters);
}

bool DataGrid::hasValueFilter(const QString& column) const {
    return std::ranges::any_of(m_model->filters(),
                               [&](const ValueFilter& filter) { return filter.column == column; });
}

Result<QVariantList> DataGrid::filterValues(const QString& column, int max) const {
    return m_model->filterValues(column, max);
}

void DataGrid::showValueMenu(const QPoint& position) {
    QHeaderView* header = m_view->horizontalHeader();
    const QString column = m_model->columnName(header->logicalIndexAt(position));
    if (column.isEmpty())
        return;
    const QPoint where = header->mapToGlobal(position);
    m_model->readFilterValues(column, OfferedValues, [this, column, where](const auto& values) {
        offerValues(column, values, where);
    });
}

void DataGrid::offerValues(const QString& column, const QVariantList& values, const QPoint& where) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("(全部)"), this,
                   [this, column] { (void)clearValueFilter(column); });
    menu.addSeparator();
    for (int i = 0; i < values.size() && i < OfferedValues; ++i) {
        const QVariant value = values.at(i);
        const QString text =
            value.isNull() ? QStringLiteral("(空)") : m_model->displayText(column, value);
        menu.addAction(text.isEmpty() ? QStringLiteral("(空白)") : text, this,
                       [this, column, value] { (void)setValueFilter(column, value); });
    }
    if (values.size() > OfferedValues)
        menu.addAction(QStringLiteral("……"))->setEnabled(false);
    menu.exec(where);
}

void DataGrid::afterQuery() {
    applyColumns();
    if (m_model->rowCount() > 0)
        setCurrentRow(0);
    m_model->scheduleFooter();
}

void DataGrid::setMoneyColumns(const QStringList& columns) {
    m_model->setMoneyColumns(columns);
}

void DataGrid::setYesNoColumns(const QStringList& columns) {
    m_model->setYesNoColumns(columns);
}

void DataGrid::setHiddenColumns(const QStringList& columns) {
    m_hidden = columns;
    applyColumns();
}

void DataGrid::setColumnOrder(const QStringList& columns) {
    m_order = columns;
    applyColumns();
}

void DataGrid::setCaption(const QString& column, const QString& caption) {
    m_model->setCaption(column, caption);
}

void DataGrid::applyColumns() {
    QHeaderView* header = m_view->horizontalHeader();
    for (int c = 0; c < m_model->columnCount(); ++c)
        m_view->setColumnHidden(c, m_hidden.contains(m_model->columnName(c)));
    int visual = 0;
    for (const QString& name : m_order) {
        const int logical = m_model->columnIndex(name);
        if (logical < 0)
            continue;
        header->moveSection(header->visualIndex(logical), visual++);
    }
    m_footer->layOut();
}

void DataGrid::setFooter(const QString& countColumn, const QStringList& sumColumns) {
    m_footer->setColumns(countColumn, sumColumns);
    if (!m_base.sql.isEmpty())
        m_model->scheduleFooter();
}

qint64 DataGrid::footerCount() const {
    return m_model->footer().count;
}

Money DataGrid::footerSum(const QString& column) const {
    return m_model->footer().sums.value(column);
}

QString DataGrid::footerText(const QString& column) const {
    return m_footer->figureText(column);
}

int DataGrid::currentRow() const {
    const QModelIndex current = m_view->selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

bool DataGrid::setCurrentRow(int row) {
    if (row < 0 || row >= m_model->rowCount())
        return false;
    int column = 0;
    while (column < m_model->columnCount() && m_view->isColumnHidden(column))
        ++column;
    const QModelIndex index = m_model->index(row, column);
    m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    m_view->scrollTo(index);
    return true;
}

QSqlRecord DataGrid::currentRecord() const {
    const int row = currentRow();
    return row >= 0 ? m_model->record(row) : QSqlRecord();
}

QVariant DataGrid::value(const QString& column) const {
    const QSqlRecord record = currentRecord();
    const int index = record.indexOf(column);
    return index >= 0 ? record.value(index) : QVariant();
}

QString DataGrid::text(const QString& column) const {
    return m_model->displayText(column, value(column));
}

Money DataGrid::money(const QString& column) const {
    return m_model->dialect().decodeMoney(value(column));
}

qint64 DataGrid::integer(const QString& column) const {
    return value(column).toLongLong();
}

bool DataGrid::locate(const QString& column, const QVariant& wanted) {
    const std::optional<int> row = m_model->locate(column, wanted);
    return row && setCurrentRow(*row);
}

int DataGrid::loadedRowCount() const {
    return m_model->rowCount();
}

bool DataGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && hasCurrentRow()) {
            Q_EMIT rowActivated(currentRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
