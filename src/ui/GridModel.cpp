#include "ui/GridModel.h"

#include <QDate>
#include <QDateTime>
#include <QTimer>

#include <limits>

namespace {

int clamped(qint64 rows) {
    return int(qMin<qint64>(rows, std::numeric_limits<int>::max()));
}

} // namespace

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

Status GridModel::setListQuery(const ListQuery& query) {
    ListReader reader = m_reader;
    reader.setQuery(query);
    return reload(std::move(reader));
}

Status GridModel::setFilters(const QList<ValueFilter>& filters) {
    ListReader reader = m_reader;
    reader.setFilters(filters);
    return reload(std::move(reader));
}

Status GridModel::reload() {
    if (m_reader.query().sql.isEmpty())
        return {};
    return reload(m_reader);
}

Status GridModel::reload(ListReader reader) {
    if (Status ran = run(std::move(reader)); !ran)
        return ran;
    // reads of the statement as it was are no longer wanted
    m_reads.retireAll();
    return {};
}

Status GridModel::run(ListReader reader) {
    // the first page is read with the new statement; on failure the old one stays
    auto first = reader.first(PageSize);
    if (!first)
        return Error{first.error()};
    beginResetModel();
    m_reader = std::move(reader);
    m_pages.clear();
    m_pages.insert(0, Page{first.value(), ++m_uses});
    m_rows = int(first.value().size());
    // a full first page: more may follow, counted when needed
    m_totalKnown = m_rows < PageSize;
    endResetModel();
    return {};
}

Result<QList<QVariantList>> GridModel::readPage(int page) const {
    if (isKeyed() && page > 0) {
        // from a neighbour's key: no row before the page is counted again
        auto before = m_pages.constFind(page - 1);
        if (before != m_pages.cend() && before->rows.size() == PageSize)
            return m_reader.from(&before->rows.last(), false, PageSize);
        auto after = m_pages.constFind(page + 1);
        if (after != m_pages.cend() && !after->rows.isEmpty())
            return m_reader.from(&after->rows.first(), true, PageSize);
        const int last = m_rows > 0 ? (m_rows - 1) / PageSize : 0;
        if (m_totalKnown && page == last)
            return m_reader.from(nullptr, true, m_rows - last * PageSize);
    }
    return m_reader.page(page, PageSize);
}

void GridModel::setMoneyColumns(const QStringList& columns) {
    m_money = QSet<QString>(columns.begin(), columns.end());
    if (columnCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(qMax(0, rowCount() - 1), columnCount() - 1));
}

void GridModel::setFilteredColumns(const QStringList& columns) {
    m_filtered = QSet<QString>(columns.begin(), columns.end());
    if (columnCount() > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

std::optional<int> GridModel::rowOfKey(const QVariant& keyValue) const {
    const std::optional<qint64> row = m_reader.rowOfKey(keyValue);
    return row ? std::optional<int>(clamped(*row)) : std::nullopt;
}

std::optional<int> GridModel::locate(const QString& column, const QVariant& wanted) {
    const int index = columnIndex(column);
    if (index < 0)
        return std::nullopt;
    const QString wantedText = wanted.toString();
    auto holds = [&](int row) {
        return this->index(row, index).data(Qt::EditRole).toString() == wantedText;
    };
    // by the list's key: its place is counted, not walked to
    if (column == m_reader.query().key && isKeyed()) {
        const std::optional<int> row = rowOfKey(wanted);
        if (!row)
            return std::nullopt;
        if (*row >= rowCount() && canFetchMore()) {
            // the rows counted: by the footer when it counts them
            if (m_footerPending && m_counted)
                computeFooter();
            else
                fetchMore();
        }
        if (*row < rowCount() && holds(*row))
            return row;
    }
    for (int row = 0;; ++row) {
        if (row >= rowCount()) {
            if (!canFetchMore())
                return std::nullopt;
            fetchMore();
            if (row >= rowCount())
                return std::nullopt;
        }
        if (holds(row))
            return row;
    }
}

void GridModel::setRowTotal(qint64 rows) {
    const int total = clamped(rows);
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
    QSqlRecord values = record();
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
    return parent.isValid() ? 0 : record().count();
}

bool GridModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !m_totalKnown && !m_reader.query().sql.isEmpty();
}

void GridModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent))
        return;
    if (auto counted = m_reader.count())
        setRowTotal(counted.value());
}

void GridModel::sort(int column, Qt::SortOrder order) {
    ListReader sorted = m_reader;
    sorted.setOrder({column >= 0 ? columnName(column) : QString(), order == Qt::AscendingOrder});
    if (m_reader.query().sql.isEmpty()) {
        m_reader = std::move(sorted);
        return;
    }
    const int rows = m_rows;
    const bool known = m_totalKnown;
    if (!run(std::move(sorted)))
        return;
    // the same rows in another order: the count stays
    if (known)
        setRowTotal(rows);
}

// ------------------------------------------------------------------ footer

void GridModel::setFooterColumns(bool counted, const QStringList& sums) {
    m_counted = counted;
    m_sums = sums;
}

void GridModel::scheduleFooter() {
    m_footerPending = true;
    m_reads.retire(ListReads::Footer);
    m_footer = {};
    Q_EMIT footerChanged();
    if (!hasFooter())
        return;
    if (!isLong()) {
        // a few rows: summed at once, after the first screen
        QTimer::singleShot(0, this, [this] {
            if (m_footerPending && !m_reads.isRunning(ListReads::Footer))
                computeFooter();
        });
        return;
    }
    // a long list: counted and summed by a worker while the window goes on
    m_reads.start(ListReads::Footer, m_reader.footerStatement(m_sums), this,
                  [this](const Result<ListReader::Rows>& figures) {
                      if (m_footerPending)
                          computeFooter(&figures);
                  });
}

const ListFooter& GridModel::footer() {
    if (m_footerPending)
        computeFooter();
    return m_footer;
}

void GridModel::computeFooter(const Result<ListReader::Rows>* given) {
    m_footerPending = false;
    m_footer = {};
    if (!hasFooter())
        return;
    // the worker's figures when it was asked (waiting for them), else read now
    std::optional<Result<ListReader::Rows>> figures;
    if (given)
        figures = *given;
    else
        figures = m_reads.take(ListReads::Footer);
    const QStringList money = m_money.values();
    if (!figures) {
        if (auto read = m_reader.footer(m_sums, money))
            m_footer = read.value();
    } else if (*figures && !figures->value().isEmpty()) {
        m_footer = m_reader.footerOf(figures->value().first(), m_sums, money);
    }
    // the grid's rows are the footer's count
    if (m_counted && (!figures || *figures))
        setRowTotal(m_footer.count);
    Q_EMIT footerChanged();
}

// ------------------------------------------------------------ value lists

Result<QVariantList> GridModel::filterValues(const QString& column, int max) const {
    if (columnIndex(column) < 0)
        return Error{QStringLiteral("没有这个字段: %1").arg(column)};
    return m_reader.values(column, max);
}

void GridModel::readFilterValues(const QString& column, int max,
                                 std::function<void(const QVariantList&)> offer) {
    if (columnIndex(column) < 0)
        return;
    if (!isLong()) {
        if (auto values = filterValues(column, max))
            offer(values.value());
        return;
    }
    // a long list: the values are read by a worker, and the window stays
    // responsive meanwhile
    m_reads.start(ListReads::Values, m_reader.valuesStatement(column, max), this,
                  [offer = std::move(offer)](const Result<ListReader::Rows>& rows) {
                      if (!rows)
                          return;
                      QVariantList values;
                      for (const QVariantList& row : rows.value())
                          values << row.value(0);
                      offer(values);
                  });
}

// ----------------------------------------------------------------- display

QString GridModel::displayText(const QString& column, const QVariant& stored) const {
    if (stored.isNull())
        return {};
    if (m_money.contains(column))
        return dialect().decodeMoney(stored).toString();
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
