#pragma once

#include "finance/core/StockTaking.h"
#include "store/LoginContext.h"

#include <QDialog>
#include <QHash>

class QDateEdit;
class QLabel;
class QPrinter;
class QPushButton;
class DayTotalsChart;

// 数据盘点: what the catalogues hold, the deposits held, and for a period
// the business done (A), the income and expenses with their balance (B),
// with a small chart of income and expenses per day. It only reads.
class TDataCheckFm : public QDialog {
    Q_OBJECT
public:
    explicit TDataCheckFm(const LoginContext& login, QWidget* parent = nullptr);

    // The text shown beside a caption ("收入金额:"), or empty.
    QString figure(const QString& caption) const;
    QDateEdit* fromPicker() const { return m_from; }
    QDateEdit* toPicker() const { return m_to; }
    QPushButton* searchButton() const { return m_search; }
    QPushButton* printButton() const { return m_print; }
    DayTotalsChart* chart() const { return m_chart; }

    // "查询": the period figures and the chart again (the stock figures stay).
    bool search();
    // "打印": the window as shown, as one picture on the default printer.
    void print();
    // The window's picture fitted to a page of printer.
    void printTo(QPrinter& printer);

private:
    // The period figures and the chart, with the stock figures when asked,
    // all read from one snapshot.
    bool showFigures(bool withStock);
    void showStock(const StockTaking::StockFigures& f);
    void showPeriod(const StockTaking::PeriodFigures& f);
    QLabel* addFigure(class QGridLayout* layout, int row, int column, const QString& caption);
    void setFigure(const QString& caption, const QString& text);

    const LoginContext& m_login;
    QHash<QString, QLabel*> m_figures;
    QDateEdit* m_from;
    QDateEdit* m_to;
    QPushButton* m_search;
    QPushButton* m_print;
    DayTotalsChart* m_chart;
};
