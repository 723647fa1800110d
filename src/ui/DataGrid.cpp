#include "ui/DataGrid.h"

#include "store/BackgroundRead.h"
#include "store/Db.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString wrapped(const QString& sql) {
    return QStringLiteral("(%1) as t").arg(sql);
}

QString direction(bool ascending) {
    return ascending ? QStringLiteral(" asc") : QStringLiteral(" desc");
}

} // namespace

// ---------------------------------------------------------------- GridModel

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

Status GridModel::setListQuery(const ListQuery& query) {
    const QString previousSort = m_sortColumn;
    m_sortColumn.clear();
    Status ran = run(query);
    if (!ran) {
        m_sortColumn = previousSort;
        return ran;
    }
    return {};
}

QString GridModel::shownSortColumn() const {
    if (!m_sortColumn.isEmpty())
        return m_sortColumn;
    return m_query.key.isEmpty() ? QString() : m_query.order;
}

bool GridModel::shownAscending() const {
    return m_sortColumn.isEmpty() || m_sortOrder == Qt::AscendingOrder;
}

QString GridModel::orderBy(bool reversed) const {
    const QString sort = shownSortColumn();
    const bool ascending = shownAscending() != reversed;
    QStringList keys;
    if (!sort.isEmpty())
        keys << Db::quoted(sort) + direction(ascending);
    if (!m_query.key.isEmpty()) {
        // ties go the sort's way, so that the reversed order is the exact reverse
        keys << Db::quoted(m_query.key) + direction(ascending);
    } else if (!sort.isEmpty()) {
        // pages read with limit and offset must see one fixed order (a sort
        // with a limit may order ties differently from one without)
        for (int c = 1; c <= m_columns.count(); ++c)
            keys << QString::number(c) + direction(!reversed);
    }
    return keys.isEmpty() ? QString() : QStringLiteral(" order by ") + keys.join(u", ");
}

ListQuery GridModel::sortedQuery() const {
    ListQuery sorted = m_query;
    const QString order = orderBy(false);
    if (!order.isEmpty())
        sorted.sql = QStringLiteral("select * from %1%2").arg(wrapped(m_query.sql), order);
    return sorted;
}

Result<QList<QVariantList>> GridModel::readRows(const QString& sql, const QVariantList& params,
                                                QSqlRecord* columns) const {
    const Db db(m_query.connectionName);
    auto rows = db.select(sql, params);
    if (!rows)
        return Error{rows.error()};
    if (columns)
        *columns = rows.value().record();
    return rows.value().remaining();
}

Result<QList<QVariantList>> GridModel::readPage(int page, QSqlRecord* columns) const {
    if (isKeyed() && page > 0) {
        // from a neighbour's key: no row before the page is counted again
        auto before = m_pages.constFind(page - 1);
        if (before != m_pages.cend() && before->rows.size() == PageSize)
            return readFrom(&before->rows.last(), false, PageSize);
        auto after = m_pages.constFind(page + 1);
        if (after != m_pages.cend() && !after->rows.isEmpty())
            return readFrom(&after->rows.first(), true, PageSize);
        const int last = m_rows > 0 ? (m_rows - 1) / PageSize : 0;
        if (m_totalKnown && page == last)
            return readFrom(nullptr, true, m_rows - last * PageSize);
    }
    // the same text for every page: the connection keeps it prepared
    return readRows(QStringLiteral("select * from %1%2 limit ? offset ?")
                        .arg(wrapped(m_query.sql), orderBy(false)),
                    m_query.params + QVariantList{PageSize, qint64(page) * PageSize}, columns);
}

QList<GridModel::Region> GridModel::regionsFrom(const QVariantList* boundary,
                                                bool backwards) const {
    // A sorted column's empty values sort together at one end, so they are a
    // region of their own; each region is one condition an index can serve.
    const QString key = Db::quoted(m_query.key);
    const QString sortColumn = shownSortColumn();
    const QString sort = sortColumn.isEmpty() ? QString() : Db::quoted(sortColumn);
    const bool ascending = shownAscending() != backwards;
    const QString after = ascending ? QStringLiteral(">") : QStringLiteral("<");
    const QVariant boundaryKey =
        boundary ? boundary->at(m_columns.indexOf(m_query.key)) : QVariant();
    if (sort.isEmpty()) {
        if (!boundary)
            return {{QStringLiteral("1 = 1"), {}}};
        return {{key + after + u'?', {boundaryKey}}};
    }
    const QVariant boundarySort =
        boundary ? boundary->at(m_columns.indexOf(sortColumn)) : QVariant();
    const bool nullsFirst = m_dialect->sortsNullsFirst() == ascending;
    const bool inNulls = boundary && boundarySort.isNull();
    const Region nulls =
        inNulls
            ? Region{QStringLiteral("%1 is null and %2%3?").arg(sort, key, after), {boundaryKey}}
            : Region{sort + QStringLiteral(" is null"), {}};
    const Region values =
        !boundary || inNulls
            ? Region{sort + QStringLiteral(" is not null"), {}}
            : Region{QStringLiteral("%1 %2= ? and (%1 %2 ? or %3 %2 ?)").arg(sort, after, key),
                     {boundarySort, boundarySort, boundaryKey}};
    // the region the boundary is in, then the one after it, if any
    const bool startInNulls = boundary ? inNulls : nullsFirst;
    if (startInNulls != nullsFirst)
        return {startInNulls ? nulls : values};
    return startInNulls ? QList<Region>{nulls, values} : QList<Region>{values, nulls};
}

Result<QList<QVariantList>> GridModel::readFrom(const QVariantList* boundary, bool backwards,
                                                int count) const {
    // the rows after boundary in the shown order (backwards: before it; no
    // boundary: from the end), at most count of them, as shown
    const QString base = QStringLiteral("select * from %1 where ").arg(wrapped(m_query.sql));
    const QString order = orderBy(backwards);
    QList<QVariantList> rows;
    for (const Region& region : regionsFrom(boundary, backwards)) {
        if (rows.size() >= count)
            break;
        auto read = readRows(base + region.condition + order + QStringLiteral(" limit ?"),
                             m_query.params + region.params + QVariantList{count - rows.size()});
        if (!read)
            return Error{read.error()};
        rows += read.value();
    }
    if (backwards)
        std::reverse(rows.begin(), rows.end());
    return rows;
}

std::optional<int> GridModel::rowOfKey(const QVariant& keyValue) const {
    if (!isKeyed())
        return std::nullopt;
    // the row itself, then how many rows come before it as shown
    auto found = readRows(QStringLiteral("select * from %1 where %2 = ?")
                              .arg(wrapped(m_query.sql), Db::quoted(m_query.key)),
                          m_query.params + QVariantList{keyValue});
    if (!found || found.value().isEmpty())
        return std::nullopt;
    const Db db(m_query.connectionName);
    qint64 before = 0;
    for (const Region& region : regionsFrom(&found.value().first(), true)) {
        auto counted = db.scalarInteger(QStringLiteral("select count(*) from %1 where %2")
                                            .arg(wrapped(m_query.sql), region.condition),
                                        m_query.params + region.params);
        if (!counted)
            return std::nullopt;
        before += counted.value().value_or(0);
    }
    return int(qMin<qint64>(before, std::numeric_limits<int>::max()));
}

bool GridModel::isKeyed() const {
    return !m_query.key.isEmpty() && m_columns.indexOf(m_query.key) >= 0 &&
           (shownSortColumn().isEmpty() || m_columns.indexOf(shownSortColumn()) >= 0);
}

Status GridModel::run(ListQuery query) {
    const Db db(query.connectionName);
    if (!db.isOpen())
        return Error{QStringLiteral("数据库没有连接")};
    // the first page is read with the new statement; on failure the old one stays
    const ListQuery previous = std::exchange(m_query, std::move(query));
    const QSqlRecord previousColumns = m_columns;
    QSqlRecord columns;
    auto first = readRows(
        QStringLiteral("select * from %1%2 limit ?").arg(wrapped(m_query.sql), orderBy(false)),
        m_query.params + QVariantList{PageSize}, &columns);
    if (!first) {
        m_query = previous;
        m_columns = previousColumns;
        return Error{first.error()};
    }
    beginResetModel();
    m_dialect = &db.dialect();
    m_columns = columns;
    m_columns.clearValues();
    m_pages.clear();
    m_pages.insert(0, Page{first.value(), ++m_uses});
    m_rows = int(first.value().size());
    // a full first page: more may follow, counted when needed
    m_totalKnown = m_rows < PageSize;
    endResetModel();
    return {};
}

void GridModel::setRowTotal(qint64 rows) {
    const int total = int(qMin<qint64>(rows, std::numeric_limits<int>::max()));
    if (m_totalKnown && total == m_rows)
        return;
    if (total > m_rows) {
        beginInsertRows({}, m_rows, total - 1);
        m_rows = total;
        m_totalKnown = true;
        endInsertRows();
    } else if (total < m_rows) {
        beginRemoveRows({}, total, m_rows - 1);
        m_rows = total;
        m_totalKnown = true;
        endRemoveRows();
    } else {
        m_totalKnown = true;
    }
}

int GridModel::keptRowCount() const {
    int kept = 0;
    for (const Page& page : m_pages)
        kept += int(page.rows.size());
    return kept;
}

const QVariantList* GridModel::rowValues(int row) const {
    if (row < 0 || row >= m_rows)
        return nullptr;
    const int number = row / PageSize;
    auto it = m_pages.find(number);
    if (it == m_pages.end()) {
        auto read = readPage(number);
        if (!read)
            return nullptr;
        if (m_pages.size() >= KeptPages) {
            auto oldest = m_pages.begin();
            for (auto p = m_pages.begin(); p != m_pages.end(); ++p)
                if (p->lastUse < oldest->lastUse)
                    oldest = p;
            m_pages.erase(oldest);
        }
        it = m_pages.insert(number, Page{read.value(), 0});
    }
    it->lastUse = ++m_uses;
    const int within = row % PageSize;
    return within < it->rows.size() ? &it->rows[within] : nullptr;
}

QSqlRecord GridModel::record(int row) const {
    QSqlRecord values = m_columns;
    if (const QVariantList* stored = rowValues(row)) {
        for (int c = 0; c < stored->size() && c < values.count(); ++c)
            values.setValue(c, stored->at(c));
    }
    return values;
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns.count();
}

bool GridModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !m_totalKnown && !m_query.sql.isEmpty();
}

void GridModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent))
        return;
    const Db db(m_query.connectionName);
    auto counted = db.scalarInteger(
        QStringLiteral("select count(*) from %1").arg(wrapped(m_query.sql)), m_query.params);
    if (counted)
        setRowTotal(counted.value().value_or(0));
}

void GridModel::sort(int column, Qt::SortOrder order) {
    const QString previous = m_sortColumn;
    const Qt::SortOrder previousOrder = m_sortOrder;
    m_sortColumn = column >= 0 ? columnName(column) : QString();
    m_sortOrder = order;
    if (m_query.sql.isEmpty())
        return;
    const int rows = m_rows;
    const bool known = m_totalKnown;
    if (!run(m_query)) {
        m_sortColumn = previous;
        m_sortOrder = previousOrder;
        return;
    }
    // the same rows in another order: the count stays
    if (known)
        setRowTotal(rows);
}

QString GridModel::displayText(const QString& column, const QVariant& stored) const {
    if (stored.isNull())
        return {};
    if (m_money.contains(column))
        return m_dialect->decodeMoney(stored).toString();
    if (m_yesNo.contains(column) || stored.typeId() == QMetaType::Bool) {
        const bool yes =
            stored.typeId() == QMetaType::QString
                ? stored.toString() == QStringLiteral("是") ||
                      stored.toString() == QStringLiteral("1") ||
                      stored.toString().compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0
                : stored.toBool();
        return yes ? QStringLiteral("是") : QStringLiteral("否");
    }
    switch (stored.typeId()) {
    case QMetaType::QDate:
        return stored.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime:
        return stored.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    case QMetaType::QByteArray:
        return {}; // pictures
    default:
        return stored.toString();
    }
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() ||
        (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::TextAlignmentRole))
        return {};
    const QString name = columnName(index.column());
    if (role == Qt::TextAlignmentRole) {
        if (m_money.contains(name))
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return {};
    }
    const QVariantList* stored = rowValues(index.row());
    if (!stored || index.column() >= stored->size())
        return {};
    if (role == Qt::EditRole)
        return stored->at(index.column());
    return displayText(name, stored->at(index.column()));
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        const QString name = columnName(section);
        const QString caption = m_captions.value(name, name);
        return m_filtered.contains(name) ? caption + QStringLiteral(" (筛选)") : caption;
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

// ----------------------------------------------------------------- DataGrid

DataGrid::DataGrid(QWidget* parent)
    : QWidget(parent), m_model(new GridModel(this)), m_view(new QTableView(this)),
      m_footer(new QWidget(this)) {
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

    m_footer->setFixedHeight(m_view->fontMetrics().height() + 8);
    m_footer->hide();
    m_footer->installEventFilter(this);

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
    connect(header, &QHeaderView::sectionResized, this, &DataGrid::layoutFooter);
    connect(header, &QHeaderView::sectionMoved, this, &DataGrid::layoutFooter);
    connect(header, &QHeaderView::geometriesChanged, this, &DataGrid::layoutFooter);
    connect(m_view->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &DataGrid::layoutFooter);
}

DataGrid::~DataGrid() {
    // reads still running are stopped: closing a long list does not wait
    // for its sums
    for (const auto* read : {&m_footerRead, &m_valueRead})
        if (*read)
            (*read)->cancel();
    // the view and the model must not call back into a grid being destroyed
    m_view->removeEventFilter(this);
    m_footer->removeEventFilter(this);
    m_model->disconnect(this);
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
    m_filters.clear();
    m_model->setFilteredColumns({});
    afterQuery();
    return {};
}

Status DataGrid::reload() {
    if (m_base.sql.isEmpty())
        return {};
    return applyFilters();
}

ListQuery DataGrid::filteredQuery(const QString& except) const {
    ListQuery filtered = m_base;
    QStringList conditions;
    for (const auto& [column, value] : m_filters) {
        if (column == except)
            continue;
        if (value.isNull()) {
            conditions << QStringLiteral("%1 is null").arg(Db::quoted(column));
        } else {
            conditions << QStringLiteral("%1 = ?").arg(Db::quoted(column));
            filtered.params << value;
        }
    }
    if (!conditions.isEmpty())
        filtered.sql = QStringLiteral("select * from %1 where %2")
                           .arg(wrapped(m_base.sql), conditions.join(QStringLiteral(" and ")));
    return filtered;
}

Status DataGrid::applyFilters() {
    // keep the sort the header shows
    const int section = m_view->horizontalHeader()->sortIndicatorSection();
    const Qt::SortOrder order = m_view->horizontalHeader()->sortIndicatorOrder();
    Status ran = m_model->setListQuery(filteredQuery());
    if (!ran)
        return ran;
    if (section >= 0 && section < m_model->columnCount())
        m_model->sort(section, order);
    QStringList columns;
    for (const auto& filter : std::as_const(m_filters))
        columns << filter.first;
    m_model->setFilteredColumns(columns);
    afterQuery();
    return {};
}

Status DataGrid::setValueFilter(const QString& column, const QVariant& value) {
    if (m_model->columnIndex(column) < 0)
        return Error{QStringLiteral("没有这个字段: %1").arg(column)};
    const auto previous = m_filters;
    (void)clearValueFilter(column);
    m_filters.append({column, value});
    Status ran = applyFilters();
    if (!ran) {
        m_filters = previous;
        (void)applyFilters();
    }
    return ran;
}

Status DataGrid::clearValueFilter(const QString& column) {
    const qsizetype before = m_filters.size();
    m_filters.removeIf(
        [&](const auto& filter) { return column.isEmpty() || filter.first == column; });
    if (m_filters.size() == before || m_base.sql.isEmpty())
        return {};
    return applyFilters();
}

bool DataGrid::hasValueFilter(const QString& column) const {
    for (const auto& filter : m_filters)
        if (filter.first == column)
            return true;
    return false;
}

ListQuery DataGrid::valuesStatement(const QString& column, int max) const {
    ListQuery values = filteredQuery(column);
    values.sql = QStringLiteral("select distinct %1 from %2 order by %1 limit ?")
                     .arg(Db::quoted(column), wrapped(values.sql));
    values.params << max + 1;
    return values;
}

Result<QVariantList> DataGrid::filterValues(const QString& column, int max) const {
    if (m_model->columnIndex(column) < 0)
        return Error{QStringLiteral("没有这个字段: %1").arg(column)};
    const ListQuery statement = valuesStatement(column, max);
    auto rows = Db(statement.connectionName).select(statement.sql, statement.params);
    if (!rows)
        return Error{rows.error()};
    QVariantList values;
    while (rows.value().next())
        values << rows.value().query().value(0);
    return values;
}

bool DataGrid::isLong() const {
    return !m_model->rowTotalKnown() || m_model->rowCount() >= GridModel::PageSize;
}

void DataGrid::showValueMenu(const QPoint& position) {
    QHeaderView* header = m_view->horizontalHeader();
    const QString column = m_model->columnName(header->logicalIndexAt(position));
    if (column.isEmpty())
        return;
    const QPoint where = header->mapToGlobal(position);
    if (!isLong()) {
        auto values = filterValues(column, OfferedValues);
        if (values)
            offerValues(column, values.value(), where);
        return;
    }
    // a long list: the values are read by a worker, and the window stays
    // responsive meanwhile; a later right click replaces the read
    const ListQuery statement = valuesStatement(column, OfferedValues);
    retire(m_valueRead);
    m_valueRead = BackgroundRead::start(statement.connectionName, statement.sql, statement.params,
                                        this, [this, column, where] {
                                            if (!m_valueRead || !m_valueRead->isFinished())
                                                return;
                                            const auto read = std::exchange(m_valueRead, {});
                                            const auto rows = read->result();
                                            if (!rows)
                                                return;
                                            QVariantList values;
                                            for (const QVariantList& row : rows.value())
                                                values << row.value(0);
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
    scheduleFooter();
}

void DataGrid::scheduleFooter() {
    m_footerPending = true;
    retire(m_footerRead);
    for (QLabel* label : std::as_const(m_footerLabels)) {
        label->clear();
        label->setProperty("figure", QString());
    }
    if (m_countColumn.isEmpty() && m_sumColumns.isEmpty())
        return;
    if (!isLong()) {
        // a few rows: summed at once, after the first screen
        QTimer::singleShot(0, this, [this] {
            if (m_footerPending && !m_footerRead)
                (void)computeFooter();
        });
        return;
    }
    // a long list: counted and summed by a worker while the window goes on
    const ListQuery statement = footerStatement();
    m_footerRead = BackgroundRead::start(
        statement.connectionName, statement.sql, statement.params, this, [this] {
            if (m_footerPending && m_footerRead && m_footerRead->isFinished())
                (void)computeFooter();
        });
}

void DataGrid::setMoneyColumns(const QStringList& columns) {
    m_model->setMoneyColumns(columns);
    if (m_model->columnCount() > 0)
        Q_EMIT m_model->dataChanged(
            m_model->index(0, 0),
            m_model->index(qMax(0, m_model->rowCount() - 1), m_model->columnCount() - 1));
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
    layoutFooter();
}

void DataGrid::setFooter(const QString& countColumn, const QStringList& sumColumns) {
    qDeleteAll(m_footerLabels);
    m_footerLabels.clear();
    m_countColumn = countColumn;
    m_sumColumns = sumColumns;
    QStringList columns = sumColumns;
    if (!countColumn.isEmpty())
        columns.prepend(countColumn);
    for (const QString& column : columns) {
        auto* label = new QLabel(m_footer);
        label->setObjectName(QStringLiteral("footer:") + column);
        label->setAlignment(column == countColumn ? Qt::AlignLeft | Qt::AlignVCenter
                                                  : Qt::AlignRight | Qt::AlignVCenter);
        label->setContentsMargins(4, 0, 4, 0);
        label->setAutoFillBackground(true); // a figure kept in view covers what it lies on
        m_footerLabels.insert(column, label);
    }
    m_footer->setVisible(!columns.isEmpty());
    if (!m_base.sql.isEmpty())
        scheduleFooter();
}

void DataGrid::retire(std::shared_ptr<BackgroundRead>& read) const {
    // a read no longer wanted is stopped, and kept until its worker is
    // done: waiting for it here would hold the window up
    if (read && !read->isFinished()) {
        read->cancel();
        m_retired << read;
    }
    read.reset();
    m_retired.removeIf([](const auto& old) { return old->isFinished(); });
}

ListQuery DataGrid::footerStatement() const {
    ListQuery footer = m_model->listQuery();
    QStringList figures{QStringLiteral("count(*)")};
    for (const QString& column : m_sumColumns)
        figures << QStringLiteral("sum(%1)").arg(Db::quoted(column));
    footer.sql = QStringLiteral("select %1 from %2")
                     .arg(figures.join(QStringLiteral(", ")), wrapped(footer.sql));
    return footer;
}

Status DataGrid::computeFooter() const {
    m_footerPending = false;
    m_footerCount = 0;
    m_footerSums.clear();
    if (m_countColumn.isEmpty() && m_sumColumns.isEmpty())
        return {};
    // the worker's figures when it was asked (waiting for them), else read now
    Result<BackgroundRead::Rows> figures = BackgroundRead::Rows{};
    if (const auto read = std::exchange(m_footerRead, {})) {
        figures = read->result();
    } else {
        const ListQuery statement = footerStatement();
        auto rows = Db(statement.connectionName).select(statement.sql, statement.params);
        if (!rows) {
            figures = Error{rows.error()};
        } else if (rows.value().next()) {
            QVariantList row;
            for (int c = 0; c <= m_sumColumns.size(); ++c)
                row << rows.value().query().value(c);
            figures = BackgroundRead::Rows{row};
        }
    }
    Status outcome;
    if (!figures) {
        outcome = Error{figures.error()};
    } else if (!figures.value().isEmpty()) {
        const QVariantList& row = figures.value().first();
        m_footerCount = row.value(0).toLongLong();
        for (int i = 0; i < m_sumColumns.size(); ++i) {
            const QVariant sum = row.value(i + 1);
            const QString& column = m_sumColumns[i];
            // a sum beyond what an amount holds reads "溢出", never a wrapped figure
            bool whole = true;
            const qint64 count = sum.isNull() ? 0 : sum.toLongLong(&whole);
            m_footerSums[column] = m_model->isMoneyColumn(column)
                                       ? m_model->dialect().decodeMoney(sum)
                                   : whole ? Money::fromInt(count)
                                           : Money::overflow();
        }
        // the grid's rows are the footer's count
        if (!m_countColumn.isEmpty())
            m_model->setRowTotal(m_footerCount);
    }
    QHeaderView* header = m_view->horizontalHeader();
    for (auto it = m_footerLabels.cbegin(); it != m_footerLabels.cend(); ++it) {
        QLabel* label = it.value();
        label->setProperty("figure", footerText(it.key()));
        label->setText(footerText(it.key()));
        // a figure is never cut: its column makes room for it
        const int logical = m_model->columnIndex(it.key());
        const int needed = label->sizeHint().width();
        if (logical >= 0 && header->sectionSize(logical) < needed)
            header->resizeSection(logical, needed);
    }
    layoutFooter();
    return outcome;
}

qint64 DataGrid::footerCount() const {
    if (m_footerPending)
        (void)computeFooter();
    return m_footerCount;
}

Money DataGrid::footerSum(const QString& column) const {
    if (m_footerPending)
        (void)computeFooter();
    return m_footerSums.value(column);
}

QString DataGrid::footerText(const QString& column) const {
    if (m_footerPending)
        (void)computeFooter();
    if (column == m_countColumn)
        return QStringLiteral("共%1条").arg(m_footerCount);
    if (m_sumColumns.contains(column))
        return m_footerSums.value(column).toString();
    return {};
}

void DataGrid::layoutFooter() const {
    if (!m_footer->isVisible() && m_footerLabels.isEmpty())
        return;
    QHeaderView* header = m_view->horizontalHeader();
    const int left = m_view->viewport()->x();
    const int right = left + m_view->viewport()->width();
    // A figure whose column is scrolled out of view, or lies beyond a
    // narrow window, stays in view at the footer's edge, named by its
    // column's caption.
    int pinnedLeft = left, pinnedRight = right;
    QStringList columns = m_sumColumns;
    if (!m_countColumn.isEmpty())
        columns.prepend(m_countColumn);
    for (const QString& column : std::as_const(columns)) {
        QLabel* label = m_footerLabels.value(column);
        const int logical = m_model->columnIndex(column);
        if (!label || logical < 0 || m_view->isColumnHidden(logical)) {
            if (label)
                label->hide();
            continue;
        }
        const QString figure = label->property("figure").toString();
        const int x = left + header->sectionViewportPosition(logical);
        const int width = header->sectionSize(logical);
        const bool onScreen = m_footer->isVisible();
        const bool beyondRight = onScreen && x + width > right;
        const bool beyondLeft = onScreen && x < left;
        if (figure.isEmpty() || (!beyondRight && !beyondLeft)) {
            label->setText(figure);
            label->setGeometry(x, 0, width, m_footer->height());
        } else {
            label->setText(column == m_countColumn
                               ? figure
                               : m_model->headerData(logical, Qt::Horizontal).toString() + u' ' +
                                     figure);
            const int shown = label->sizeHint().width();
            if (beyondRight) {
                pinnedRight -= shown;
                label->setGeometry(pinnedRight, 0, shown, m_footer->height());
            } else {
                label->setGeometry(pinnedLeft, 0, shown, m_footer->height());
                pinnedLeft += shown;
            }
            label->raise();
        }
        label->show();
    }
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
    const int index = m_model->columnIndex(column);
    if (index < 0)
        return false;
    const QString wantedText = wanted.toString();
    auto holds = [&](int row) {
        return m_model->index(row, index).data(Qt::EditRole).toString() == wantedText;
    };
    // by the list's key: its place is counted, not walked to
    if (column == m_model->listQuery().key && m_model->isKeyed()) {
        const std::optional<int> row = m_model->rowOfKey(wanted);
        if (!row)
            return false;
        if (*row >= m_model->rowCount() && m_model->canFetchMore()) {
            // the rows counted: by the footer when it counts them
            if (m_footerPending && !m_countColumn.isEmpty())
                (void)computeFooter();
            else
                m_model->fetchMore();
        }
        if (*row < m_model->rowCount() && holds(*row))
            return setCurrentRow(*row);
    }
    for (int row = 0;; ++row) {
        if (row >= m_model->rowCount()) {
            if (!m_model->canFetchMore())
                return false;
            m_model->fetchMore();
            if (row >= m_model->rowCount())
                return false;
        }
        if (holds(row))
            return setCurrentRow(row);
    }
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
    if (watched == m_footer && event->type() == QEvent::Resize)
        layoutFooter();
    return QWidget::eventFilter(watched, event);
}
