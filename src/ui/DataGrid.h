#pragma once

#include "store/Connection.h"
#include "store/Dialect.h"
#include "store/ListQuery.h"
#include "store/Money.h"
#include "store/Result.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSet>
#include <QSqlRecord>
#include <QStringList>
#include <QWidget>

#include <memory>

class BackgroundRead;
class QLabel;
class QTableView;

// The rows of a ListQuery for a grid, held as a window: pages of rows are
// read around what is on screen, each page by one statement that is
// finished at once (an open read would pin an old snapshot of the database
// and make the next booking on the connection fail), and only a few pages
// are kept. The row count comes from the footer's count when the grid has
// one, otherwise from a count when the view first scrolls past the first
// page. Sorting re-queries the same statement ordered by a real result
// column. Display is typed: money columns in Money's shortest form, dates
// "yyyy-MM-dd", date-times "yyyy-MM-dd hh:mm:ss", yes/no as "是"/"否".
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int PageSize = 200;
    static constexpr int KeptPages = 12;

    explicit GridModel(QObject* parent = nullptr);

    // Runs the statement; on failure the model keeps its rows and the error
    // text says why.
    Status setListQuery(const ListQuery& query);
    const ListQuery& listQuery() const { return m_query; }
    // The statement as shown, with the sort applied.
    ListQuery sortedQuery() const;
    const Dialect& dialect() const { return *m_dialect; }

    // Which columns hold money (INTEGER ten-thousandths on SQLite,
    // numeric(19,4) on PostgreSQL) and yes/no (0/1 on SQLite).
    void setMoneyColumns(const QStringList& columns) {
        m_money = QSet<QString>(columns.begin(), columns.end());
    }
    void setYesNoColumns(const QStringList& columns) {
        m_yesNo = QSet<QString>(columns.begin(), columns.end());
    }
    bool isMoneyColumn(const QString& column) const { return m_money.contains(column); }
    void setCaption(const QString& column, const QString& caption) { m_captions[column] = caption; }
    // Columns narrowed by the header's value filter: their caption says so.
    void setFilteredColumns(const QStringList& columns) {
        m_filtered = QSet<QString>(columns.begin(), columns.end());
        if (columnCount() > 0)
            Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    }

    int columnIndex(const QString& column) const { return m_columns.indexOf(column); }
    QString columnName(int column) const { return m_columns.fieldName(column); }
    // The display form of a stored value of the named column.
    QString displayText(const QString& column, const QVariant& stored) const;
    // The result's columns (no values), and the stored values of a row.
    QSqlRecord record() const { return m_columns; }
    QSqlRecord record(int row) const;

    // The number of rows of the statement, counted elsewhere (the footer).
    void setRowTotal(qint64 rows);
    bool rowTotalKnown() const { return m_totalKnown; }
    // Rows held in memory now.
    int keptRowCount() const;
    // Whether pages are read by the statement's key.
    bool isKeyed() const;
    // Where the row with this key stands as shown, counted by the database
    // (no row before it is read); nullopt when it is not in the list.
    std::optional<int> rowOfKey(const QVariant& keyValue) const;

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

private:
    struct Page {
        QList<QVariantList> rows;
        quint64 lastUse = 0;
    };
    Status run(ListQuery query);
    // The column the rows are shown ordered by (a header's, else the
    // statement's own order column), and its direction.
    QString shownSortColumn() const;
    bool shownAscending() const;
    // " order by ..." of the rows as shown (reversed: the exact reverse);
    // empty when the statement's own order stands.
    QString orderBy(bool reversed) const;
    Result<QList<QVariantList>> readRows(const QString& sql, const QVariantList& params,
                                         QSqlRecord* columns = nullptr) const;
    Result<QList<QVariantList>> readPage(int page, QSqlRecord* columns = nullptr) const;
    // Conditions that together hold the rows after boundary in the shown
    // order (backwards: before it), in that order; no boundary: every row.
    struct Region {
        QString condition;
        QVariantList params;
    };
    QList<Region> regionsFrom(const QVariantList* boundary, bool backwards) const;
    Result<QList<QVariantList>> readFrom(const QVariantList* boundary, bool backwards,
                                         int count) const;
    const QVariantList* rowValues(int row) const;

    ListQuery m_query;
    const Dialect* m_dialect = &Dialect::of(Engine::Sqlite);
    QString m_sortColumn;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QSqlRecord m_columns;
    int m_rows = 0;
    bool m_totalKnown = true;
    mutable QHash<int, Page> m_pages;
    mutable quint64 m_uses = 0;
    QSet<QString> m_money;
    QSet<QString> m_yesNo;
    QSet<QString> m_filtered;
    QHash<QString, QString> m_captions;
};

// A read-only grid over a ListQuery: whole-row single selection, sortable
// by header, hidden columns by name, typed display, rows read in pages
// around the screen, and a footer under the grid with a row count under one
// column and sums under others, computed by one aggregate statement over
// the same statement and parameters right after the first screen is shown
// (or at once when a footer figure is asked for).
class DataGrid : public QWidget {
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);
    ~DataGrid() override;

    // Runs the statement, makes the first row current and recomputes the
    // footer. On failure the grid keeps what it showed.
    Status setQuery(const ListQuery& query);
    // The same statement again (after the rows changed), keeping the sort.
    Status reload();
    // The statement as set, and as shown (with the header sort applied):
    // export and printing read currentQuery().
    const ListQuery& query() const { return m_base; }
    ListQuery currentQuery() const { return m_model->sortedQuery(); }

    // The value filter of the column headers (right click on a header): the
    // rows whose column holds value (a null value: holds none), on top of
    // the statement as set, by a bound condition; the footer follows.
    // Filters of several columns add up; a new statement clears them.
    Status setValueFilter(const QString& column, const QVariant& value);
    // Without a column: every filter.
    Status clearValueFilter(const QString& column = {});
    bool hasValueFilter(const QString& column) const;
    // The values offered for a column's filter: the distinct stored values
    // of the rows as the other filters leave them, in order, at most max
    // of them (one statement that stops after max + 1 values, so that a
    // million rows with an index on the column answer at once).
    Result<QVariantList> filterValues(const QString& column, int max = 200) const;

    // Column set-up by column name; kept across queries.
    void setMoneyColumns(const QStringList& columns);
    void setYesNoColumns(const QStringList& columns);
    void setHiddenColumns(const QStringList& columns);
    const QStringList& hiddenColumns() const { return m_hidden; }
    // The listed columns first, in this order; the others after them.
    void setColumnOrder(const QStringList& columns);
    void setCaption(const QString& column, const QString& caption);
    // Row count shown under countColumn, sums under sumColumns (money
    // columns summed as money, others as whole numbers). An empty
    // countColumn and no sums: no footer.
    void setFooter(const QString& countColumn, const QStringList& sumColumns = {});

    // The current row; values by column name (stored values: value(); as
    // shown: text()). Without a current row they are empty.
    bool hasCurrentRow() const { return currentRow() >= 0; }
    int currentRow() const;
    bool setCurrentRow(int row);
    QSqlRecord currentRecord() const;
    QVariant value(const QString& column) const;
    QString text(const QString& column) const;
    Money money(const QString& column) const;
    qint64 integer(const QString& column) const;
    // Makes the first row whose column equals value current (fetching
    // further rows as needed); false when there is none.
    bool locate(const QString& column, const QVariant& value);
    // Rows known so far (more may follow until they are counted:
    // model()->canFetchMore()).
    int loadedRowCount() const;

    // The footer's figures, as computed by the aggregate statement.
    qint64 footerCount() const;
    Money footerSum(const QString& column) const;
    QString footerText(const QString& column) const;

    QTableView* view() const { return m_view; }
    GridModel* model() const { return m_model; }

Q_SIGNALS:
    void currentRowChanged(int row);
    // Double click or Enter on a row.
    void rowActivated(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void afterQuery();
    void applyColumns();
    // The statement as set narrowed by the value filters (but the one of
    // except), and the grid's rows re-read from it keeping the sort.
    ListQuery filteredQuery(const QString& except = {}) const;
    Status applyFilters();
    // The statement of filterValues.
    ListQuery valuesStatement(const QString& column, int max) const;
    // More rows than one page: footers and value lists are read by a worker.
    bool isLong() const;
    static constexpr int OfferedValues = 200;
    void showValueMenu(const QPoint& position);
    void offerValues(const QString& column, const QVariantList& values, const QPoint& where);
    // The footer is computed after the first screen: scheduled here, run by
    // a zero timer or by the first reader of a footer figure.
    void scheduleFooter();
    ListQuery footerStatement() const;
    Status computeFooter() const;
    void layoutFooter() const;

    GridModel* m_model;
    QTableView* m_view;
    QWidget* m_footer;
    ListQuery m_base;
    QList<QPair<QString, QVariant>> m_filters;
    QStringList m_hidden;
    QStringList m_order;
    QString m_countColumn;
    QStringList m_sumColumns;
    QHash<QString, QLabel*> m_footerLabels;
    mutable bool m_footerPending = false;
    mutable qint64 m_footerCount = 0;
    mutable QHash<QString, Money> m_footerSums;
    // the footer's and the value list's reads when a worker does them
    mutable std::shared_ptr<BackgroundRead> m_footerRead;
    std::shared_ptr<BackgroundRead> m_valueRead;
    // reads replaced before they finished (waited for when the grid goes)
    mutable QList<std::shared_ptr<BackgroundRead>> m_retired;
    void retire(std::shared_ptr<BackgroundRead>& read) const;
};
