#include "finance/DayTotalsChart.h"

#include "ui/Fonts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>

DayTotalsChart::DayTotalsChart(QWidget* parent) : QWidget(parent), m_view(new QChartView(this)) {
    m_view->setRenderHint(QPainter::Antialiasing);
    // wide enough for a day label under each of two weeks of bar pairs
    m_view->setMinimumSize(520, 220);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setDays({});
}

QChart* DayTotalsChart::chart() const {
    return m_view->chart();
}

void DayTotalsChart::setDays(const QList<StockTaking::DayTotals>& days) {
    m_days = days;
    // a fresh chart each time: axes removed from a shown chart leave labels behind
    auto* c = new QChart;
    // a longer period shows its last days only, and says so
    c->setTitle(days.size() < StockTaking::MaxChartDays
                    ? QStringLiteral("每日收支")
                    : QStringLiteral("每日收支(最近%1天)").arg(StockTaking::MaxChartDays));
    c->setTitleFont(Fonts::cjkFont(10));
    c->legend()->setAlignment(Qt::AlignBottom);
    c->legend()->setFont(Fonts::cjkFont(9));
    c->setMargins(QMargins(2, 2, 2, 2));
    QChart* old = m_view->chart();
    m_view->setChart(c);
    delete old;

    double top = 0;
    for (const StockTaking::DayTotals& day : days)
        top = std::max({top, day.income.toDouble(), day.expenses.toDouble()});
    auto* y = new QValueAxis;
    y->setRange(0, top > 0 ? top : 1);
    // a period without money has no amounts to read off the axis (its
    // labels would only show as elided dots)
    y->setLabelsVisible(top > 0);
    y->applyNiceNumbers();
    y->setLabelFormat(QStringLiteral("%.0f"));
    y->setLabelsFont(Fonts::cjkFont(8));
    c->addAxis(y, Qt::AlignLeft);

    const QString incomeName = QStringLiteral("收入"), expensesName = QStringLiteral("支出");
    const QColor incomeColor(0x3a, 0x7d, 0xc9), expensesColor(0xd9, 0x53, 0x4f);
    if (days.size() <= MaxBarDays) {
        // a bar pair per day, each day named
        auto* income = new QBarSet(incomeName);
        auto* expenses = new QBarSet(expensesName);
        income->setColor(incomeColor);
        expenses->setColor(expensesColor);
        // a week names its days in full; up to two weeks by the day of the
        // month alone (still one label per day), so that every label fits
        // its bar pair at the window's default size instead of showing "…"
        const QString format =
            days.size() <= MaxFullLabelDays ? QStringLiteral("MM-dd") : QStringLiteral("dd");
        QStringList labels;
        for (const StockTaking::DayTotals& day : days) {
            *income << day.income.toDouble();
            *expenses << day.expenses.toDouble();
            labels << day.day.toString(format);
        }
        auto* series = new QBarSeries;
        series->append(income);
        series->append(expenses);
        c->addSeries(series);
        auto* x = new QBarCategoryAxis;
        x->append(labels);
        x->setLabelsFont(Fonts::cjkFont(8));
        c->addAxis(x, Qt::AlignBottom);
        series->attachAxis(x);
        series->attachAxis(y);
        return;
    }
    // longer periods: a line each over a date axis
    auto* income = new QLineSeries;
    auto* expenses = new QLineSeries;
    income->setName(incomeName);
    expenses->setName(expensesName);
    income->setColor(incomeColor);
    expenses->setColor(expensesColor);
    for (const StockTaking::DayTotals& day : days) {
        const qreal at = QDateTime(day.day, QTime(12, 0)).toMSecsSinceEpoch();
        income->append(at, day.income.toDouble());
        expenses->append(at, day.expenses.toDouble());
    }
    c->addSeries(income);
    c->addSeries(expenses);
    auto* x = new QDateTimeAxis;
    x->setFormat(QStringLiteral("MM-dd"));
    x->setTickCount(6);
    x->setLabelsFont(Fonts::cjkFont(8));
    c->addAxis(x, Qt::AlignBottom);
    for (QLineSeries* series : {income, expenses}) {
        series->attachAxis(x);
        series->attachAxis(y);
    }
}
