#include "finance/DayTotalsChart.h"

#include "ui/Fonts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QVBoxLayout>
#include <QValueAxis>

DayTotalsChart::DayTotalsChart(QWidget* parent)
    : QWidget(parent), m_view(new QChartView(new QChart, this)) {
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setMinimumSize(360, 200);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    QChart* c = m_view->chart();
    c->setTitle(QStringLiteral("每日收支"));
    c->setTitleFont(Fonts::cjkFont(10));
    c->legend()->setAlignment(Qt::AlignBottom);
    c->legend()->setFont(Fonts::cjkFont(9));
    c->setMargins(QMargins(2, 2, 2, 2));
}

QChart* DayTotalsChart::chart() const {
    return m_view->chart();
}

void DayTotalsChart::setDays(const QList<StockTaking::DayTotals>& days) {
    m_days = days;
    QChart* c = m_view->chart();
    c->removeAllSeries();
    for (QAbstractAxis* axis : c->axes())
        c->removeAxis(axis);

    auto* income = new QBarSet(QStringLiteral("收入"));
    auto* expenses = new QBarSet(QStringLiteral("支出"));
    income->setColor(QColor(0x3a, 0x7d, 0xc9));
    expenses->setColor(QColor(0xd9, 0x53, 0x4f));
    QStringList labels;
    double top = 0;
    for (const StockTaking::DayTotals& day : days) {
        *income << day.income.toDouble();
        *expenses << day.expenses.toDouble();
        top = std::max({top, day.income.toDouble(), day.expenses.toDouble()});
        labels << day.day.toString(QStringLiteral("MM-dd"));
    }
    auto* series = new QBarSeries;
    series->append(income);
    series->append(expenses);
    c->addSeries(series);

    auto* x = new QBarCategoryAxis;
    x->append(labels);
    x->setLabelsFont(Fonts::cjkFont(8));
    if (labels.size() > 14)
        x->setLabelsAngle(-90);
    auto* y = new QValueAxis;
    y->setRange(0, top > 0 ? top * 1.1 : 1);
    y->setLabelFormat(QStringLiteral("%.0f"));
    y->setLabelsFont(Fonts::cjkFont(8));
    c->addAxis(x, Qt::AlignBottom);
    c->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
}
