#pragma once

#include "finance/core/StockTaking.h"

#include <QWidget>

class QChart;
class QChartView;

// Bars of income and expenses per day. It only draws what it is given.
class DayTotalsChart : public QWidget {
    Q_OBJECT
public:
    explicit DayTotalsChart(QWidget* parent = nullptr);

    void setDays(const QList<StockTaking::DayTotals>& days);
    const QList<StockTaking::DayTotals>& days() const { return m_days; }
    QChart* chart() const;

private:
    QChartView* m_view;
    QList<StockTaking::DayTotals> m_days;
};
