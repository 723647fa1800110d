#pragma once

#include "store/ListReader.h"
#include "store/Result.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSet>
#include <QSqlRecord>
#include <QStringList>

#include <functional>
#include <optional>

// The rows of a list for a grid, read through a ListReader and held as a
// window: pages of rows are read around what is on screen (each page one
// finished statement), and only a few pages are kept. The row count comes
// from the footer's count when the grid has one, otherwise from a count
// when the view first scrolls past the first page. Sorting re-reads the
// same statement ordered by a real result column. Display is typed: money
// columns in Money's shortest form, dates "yyyy-MM-dd", date-times
// "yyyy-MM-dd hh:mm:ss", yes/no as "是"/"否". The footer's figures and a
// header filter's values are read here too; on a long list by a worker.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int PageSize = 200;
    static constexpr int KeptPages = 12;

    explicit GridModel(QObject* parent = nullptr);

    // Runs the statement (no filter, its own order); on failure the model
    // keeps its rows and the error text says why.
    Status setListQuery(const ListQuery& query);
    // The same statement with these value filters, keeping the sort.
    Status setFilters(const QList<ValueFilter>& filters);
    const QList<ValueFilter>& filters() const { return m_reader.filters(); }
    // The same statement and filters again (after the rows changed).
    Status reload();
    // The statement narrowed by the value filters.
    ListQuery listQuery() const { return m_reader.filteredQuery(); }
    // The statement as shown, with the filters and the sort applied.
    ListQuery sortedQuery() const { return m_reader.shownQuery(); }
    const ListReader& reader() const { return m_reader; }
    const Dialect& dialect() const { return m_reader.dialect(); }

    // Which columns hold money (INTEGER ten-thousandths on SQLite,
    // numeric(19,4) on PostgreSQL) and yes/no (0/1 on SQLite).
    void setMoneyColumns(const QStringList& columns);
    void setYesNoColumns(const QStringList& columns) {
        m_yesNo = QSet<QString>(columns.begin(), columns.end());
    }
    bool isMoneyColumn(const QString& column) const { return m_money.contains(column); }
    void setCaption(const QString& column, const QString& caption) { m_captions[column] = caption; }
    // Columns narrowed by the header's value filter: their caption says so.
    void setFilteredColumns(const QStringList& columns);

    int columnIndex(const QString& column) const { return m_reader.columns().indexOf(column); }
    QString columnName(int column) const { return m_reader.columns().fieldName(column); }
    // The display form of a stored value of the named column.
    QString displayText(const QString& column, const QVariant& stored) const;
    // The result's columns (no values), and the stored values of a row.
    QSqlRecord record() const { return m_reader.columns(); }
    QSqlRecord record(int row) const;

    // The number of rows of the statement, counted elsewhere (the footer).
    void setRowTotal(qint64 rows);
    bool rowTotalKnown() const { return m_totalKnown; }
    // Rows held in memory now.
    int keptRowCount() const;
    // Whether pages are read by the statement's key.
    bool isKeyed() const { return m_reader.isKeyed(); }
    // Where the row with this key stands as shown, counted by the database
    // (no row before it is read); nullopt when it is not in the list.
    std::optional<int> rowOfKey(const QVariant& keyValue) const;
    // The first row whose column equals value (by the key: counted to,
    // else walked to, counting the rows as needed).
    std::optional<int> locate(const QString& column, const QVariant& value);
    // More rows than one page: footers and value lists are read by a worker.
    bool isLong() const { return !m_totalKnown || m_rows >= PageSize; }

    // The footer: the rows counted (and then they are the model's row
    // count) when counted, and sums of columns. Figures are read after the
    // first screen (a zero timer; on a long list a worker), or at once when
    // asked for; footerChanged says they are there.
    void setFooterColumns(bool counted, const QStringList& sums);
    bool hasFooter() const { return m_counted || !m_sums.isEmpty(); }
    void scheduleFooter();
    // Whether the figures are read (else they are still to come).
    bool hasFigures() const { return !m_footerPending; }
    const ListFooter& footer();
    // The distinct values of a column for its header filter, as the other
    // filters leave the rows, at most max + 1.
    Result<QVariantList> filterValues(const QString& column, int max) const;
    // The same, handed to offer: at once on a short list, from a worker on
    // a long one (a later call replaces the read).
    void readFilterValues(const QString& column, int max,
                          std::function<void(const QVariantList&)> offer);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Until the row count is known: counts the rows.
    bool canFetchMore(const QModelIndex& parent = {}) const override;
    void fetchMore(const QModelIndex& parent = {}) override;
    // Header click: the same rows ordered by the column (column < 0: as the
    // statement orders them).
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

Q_SIGNALS:
    void footerChanged();

private:
    struct Page {
        QList<QVariantList> rows;
        quint64 lastUse = 0;
    };
    // Reads the first page of reader's rows and takes them and it; on
    // failure nothing changes.
    Status run(ListReader reader);
    // run, and the reads of the statement as it was retired
    Status reload(ListReader reader);
    Result<QList<QVariantList>> readPage(int page) const;
    const QVariantList* rowValues(int row) const;
    // From the worker's figures, when given; else read now.
    void computeFooter(const Result<ListReader::Rows>* given = nullptr);

    ListReader m_reader;
    int m_rows = 0;
    bool m_totalKnown = true;
    mutable QHash<int, Page> m_pages;
    mutable quint64 m_uses = 0;
    QSet<QString> m_money;
    QSet<QString> m_yesNo;
    QSet<QString> m_filtered;
    QHash<QString, QString> m_captions;
    bool m_counted = false;
    QStringList m_sums;
    bool m_footerPending = false;
    ListFooter m_footer;
    ListReads m_reads;
};
