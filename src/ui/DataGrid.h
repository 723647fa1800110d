#pragma once

#include "store/ListQuery.h"
#include "store/Money.h"
#include "store/Result.h"
#include "ui/GridModel.h"

#include <QSqlRecord>
#include <QStringList>
#include <QWidget>

class GridFooter;
class QTableView;

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
    // What the grid shows, read without it: filtered and ordered as shown.
    const ListReader& reader() const { return m_model->reader(); }

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
    // The filters set, the grid's rows re-read keeping the sort.
    Status applyFilters(const QList<ValueFilter>& filters);
    static constexpr int OfferedValues = 200;
    void showValueMenu(const QPoint& position);
    void offerValues(const QString& column, const QVariantList& values, const QPoint& where);

    GridModel* m_model;
    QTableView* m_view;
    GridFooter* m_footer;
    ListQuery m_base;
    QStringList m_hidden;
    QStringList m_order;
};
