#pragma once

#include "store/Connection.h"
#include "store/Dialect.h"
#include "store/ListQuery.h"
#include "store/Money.h"
#include "store/Result.h"

#include <QHash>
#include <QSet>
#include <QSqlQueryModel>
#include <QStringList>
#include <QWidget>

class QLabel;
class QTableView;

// The rows of a ListQuery for a grid. Rows are fetched lazily (as the view
// scrolls). Sorting re-queries the same statement ordered by a real result
// column. Display is typed: money columns in Money's shortest form, dates
// "yyyy-MM-dd", date-times "yyyy-MM-dd hh:mm:ss", yes/no as "是"/"否".
class GridModel : public QSqlQueryModel {
    Q_OBJECT
public:
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

    int columnIndex(const QString& column) const { return record().indexOf(column); }
    QString columnName(int column) const { return record().fieldName(column); }
    // The display form of a stored value of the named column.
    QString displayText(const QString& column, const QVariant& stored) const;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Header click: the same rows ordered by the column (column < 0: as the
    // statement orders them).
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    Status run(const ListQuery& query);

    ListQuery m_query;
    const Dialect* m_dialect = &Dialect::of(Engine::Sqlite);
    QString m_sortColumn;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QSet<QString> m_money;
    QSet<QString> m_yesNo;
    QHash<QString, QString> m_captions;
};

// A read-only grid over a ListQuery: whole-row single selection, sortable
// by header, hidden columns by name, typed display, lazily fetched rows,
// and a footer under the grid with a row count under one column and sums
// under others, computed by one aggregate statement over the same
// statement and parameters.
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
    const ListQuery& query() const { return m_model->listQuery(); }
    ListQuery currentQuery() const { return m_model->sortedQuery(); }

    // Column set-up by column name; kept across queries.
    void setMoneyColumns(const QStringList& columns);
    void setYesNoColumns(const QStringList& columns);
    void setHiddenColumns(const QStringList& columns);
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
    // Rows loaded so far (more may follow: model()->canFetchMore()).
    int loadedRowCount() const;

    // The footer's figures, as computed by the aggregate statement.
    qint64 footerCount() const { return m_footerCount; }
    Money footerSum(const QString& column) const { return m_footerSums.value(column); }
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
    Status computeFooter();
    void layoutFooter();

    GridModel* m_model;
    QTableView* m_view;
    QWidget* m_footer;
    QStringList m_hidden;
    QStringList m_order;
    QString m_countColumn;
    QStringList m_sumColumns;
    QHash<QString, QLabel*> m_footerLabels;
    qint64 m_footerCount = 0;
    QHash<QString, Money> m_footerSums;
};
