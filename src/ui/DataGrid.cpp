#include "ui/DataGrid.h"

#include "store/Db.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QSqlError>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QString databaseError(const QSqlError& error) {
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? QStringLiteral("数据库出错") : text;
}

QString wrapped(const QString& sql) {
    return QStringLiteral("(%1) as t").arg(sql);
}

QString orderedSql(const QString& sql, const QString& column, Qt::SortOrder order) {
    if (column.isEmpty())
        return sql;
    return QStringLiteral("select * from %1 order by %2 %3")
        .arg(wrapped(sql), Db::quoted(column),
             order == Qt::AscendingOrder ? QStringLiteral("asc") : QStringLiteral("desc"));
}

} // namespace

// ---------------------------------------------------------------- GridModel

GridModel::GridModel(QObject* parent) : QSqlQueryModel(parent) {}

Status GridModel::setListQuery(const ListQuery& query) {
    const QString previousSort = m_sortColumn;
    m_sortColumn.clear();
    Status ran = run(query);
    if (!ran) {
        m_sortColumn = previousSort;
        return ran;
    }
    m_query = query;
    return {};
}

ListQuery GridModel::sortedQuery() const {
    ListQuery sorted = m_query;
    sorted.sql = orderedSql(m_query.sql, m_sortColumn, m_sortOrder);
    return sorted;
}

Status GridModel::run(const ListQuery& query) {
    const Db db(query.connectionName);
    if (!db.isOpen())
        return Error{QStringLiteral("数据库没有连接")};
    QSqlQuery q(db.handle());
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!q.prepare(orderedSql(query.sql, m_sortColumn, m_sortOrder)))
        return Error{databaseError(q.lastError())};
    for (const QVariant& param : query.params)
        q.addBindValue(db.toSql(param));
    if (!q.exec())
        return Error{databaseError(q.lastError())};
    m_dialect = &db.dialect();
    setQuery(std::move(q));
    if (lastError().isValid())
        return Error{databaseError(lastError())};
    return {};
}

void GridModel::sort(int column, Qt::SortOrder order) {
    const QString previous = m_sortColumn;
    const Qt::SortOrder previousOrder = m_sortOrder;
    m_sortColumn = column >= 0 ? columnName(column) : QString();
    m_sortOrder = order;
    if (m_query.sql.isEmpty())
        return;
    if (!run(m_query)) {
        m_sortColumn = previous;
        m_sortOrder = previousOrder;
    }
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
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole) {
        const QVariant stored = QSqlQueryModel::data(index, Qt::DisplayRole);
        return displayText(columnName(index.column()), stored);
    }
    if (role == Qt::TextAlignmentRole) {
        if (m_money.contains(columnName(index.column())))
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return {};
    }
    if (role == Qt::EditRole)
        return QSqlQueryModel::data(index, Qt::DisplayRole);
    return QSqlQueryModel::data(index, role);
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        const QString name = columnName(section);
        return m_captions.value(name, name);
    }
    return QSqlQueryModel::headerData(section, orientation, role);
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
    connect(header, &QHeaderView::sectionResized, this, &DataGrid::layoutFooter);
    connect(header, &QHeaderView::sectionMoved, this, &DataGrid::layoutFooter);
    connect(header, &QHeaderView::geometriesChanged, this, &DataGrid::layoutFooter);
    connect(m_view->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &DataGrid::layoutFooter);
}

DataGrid::~DataGrid() {
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
    afterQuery();
    return computeFooter();
}

Status DataGrid::reload() {
    ListQuery base = m_model->listQuery();
    if (base.sql.isEmpty())
        return {};
    // keep the sort the header shows
    const int section = m_view->horizontalHeader()->sortIndicatorSection();
    const Qt::SortOrder order = m_view->horizontalHeader()->sortIndicatorOrder();
    Status ran = m_model->setListQuery(base);
    if (!ran)
        return ran;
    if (section >= 0 && section < m_model->columnCount())
        m_model->sort(section, order);
    afterQuery();
    return computeFooter();
}

void DataGrid::afterQuery() {
    applyColumns();
    if (m_model->rowCount() > 0)
        setCurrentRow(0);
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
        m_footerLabels.insert(column, label);
    }
    m_footer->setVisible(!columns.isEmpty());
    if (!m_model->listQuery().sql.isEmpty())
        (void)computeFooter();
}

Status DataGrid::computeFooter() {
    m_footerCount = 0;
    m_footerSums.clear();
    if (m_countColumn.isEmpty() && m_sumColumns.isEmpty())
        return {};
    const ListQuery& base = m_model->listQuery();
    const Db db(base.connectionName);
    QStringList figures{QStringLiteral("count(*)")};
    for (const QString& column : m_sumColumns)
        figures << QStringLiteral("sum(%1)").arg(Db::quoted(column));
    auto rows = db.select(QStringLiteral("select %1 from %2")
                              .arg(figures.join(QStringLiteral(", ")), wrapped(base.sql)),
                          base.params);
    Status outcome;
    if (!rows) {
        outcome = Error{rows.error()};
    } else if (rows.value().next()) {
        QSqlQuery& q = rows.value().query();
        m_footerCount = q.value(0).toLongLong();
        for (int i = 0; i < m_sumColumns.size(); ++i) {
            const QVariant sum = q.value(i + 1);
            const QString& column = m_sumColumns[i];
            m_footerSums[column] = m_model->isMoneyColumn(column) ? db.moneyFrom(sum)
                                   : sum.isNull()                 ? Money{}
                                                  : Money::fromInt(sum.toLongLong());
        }
    }
    for (auto it = m_footerLabels.cbegin(); it != m_footerLabels.cend(); ++it)
        it.value()->setText(footerText(it.key()));
    layoutFooter();
    return outcome;
}

QString DataGrid::footerText(const QString& column) const {
    if (column == m_countColumn)
        return QStringLiteral("共%1条").arg(m_footerCount);
    if (m_sumColumns.contains(column))
        return m_footerSums.value(column).toString();
    return {};
}

void DataGrid::layoutFooter() {
    if (!m_footer->isVisible() && m_footerLabels.isEmpty())
        return;
    QHeaderView* header = m_view->horizontalHeader();
    const int left = m_view->viewport()->x();
    for (auto it = m_footerLabels.cbegin(); it != m_footerLabels.cend(); ++it) {
        const int logical = m_model->columnIndex(it.key());
        QLabel* label = it.value();
        if (logical < 0 || m_view->isColumnHidden(logical)) {
            label->hide();
            continue;
        }
        const int x = left + header->sectionViewportPosition(logical);
        label->setGeometry(x, 0, header->sectionSize(logical), m_footer->height());
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
    for (int row = 0;; ++row) {
        if (row >= m_model->rowCount()) {
            if (!m_model->canFetchMore())
                return false;
            m_model->fetchMore();
            if (row >= m_model->rowCount())
                return false;
        }
        if (m_model->record(row).value(index).toString() == wantedText)
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
