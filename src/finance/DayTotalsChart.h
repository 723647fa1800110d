#pragma once

#include "finance/core/StockTaking.h"

#include <QWidget>

class QChart;
class QChartView;

// Income and expenses per day: a pair of bars a day for up to two weeks,
// two lines over longer periods. It only draws what it is given.
class DayTotalsChart : public QWidget {
    Q_OBJECT
public:
    explicit DayTotalsChart(QWidget* parent = nullptr);

    static constexpr int MaxBarDays = 14;
    // Bars of at most this many days are labelled "MM-dd", more by "dd".
    static constexpr int MaxFullLabelDays = 7;

    void setDays(const QList<StockTaking::DayTotals>& days);
    const QList<StockTaking::DayTotals>& days() const { return m_days; }
    QChart* chart() const;

private:
    QChartView* m_view;
    QList<StockTaking::DayTotals> m_days;
};
