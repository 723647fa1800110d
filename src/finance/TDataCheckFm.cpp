#include "finance/TDataCheckFm.h"

#include "finance/DayTotalsChart.h"
#include "store/Clock.h"
#include "ui/Prompt.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString number(qint64 value) {
    return QString::number(value);
}

QDateEdit* picker(const QDate& day, QWidget* parent) {
    auto* edit = new QDateEdit(day, parent);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    return edit;
}

} // namespace

TDataCheckFm::TDataCheckFm(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_login(login), m_from(picker(Clock::today(), this)),
      m_to(picker(Clock::today().addDays(1), this)),
      m_search(new QPushButton(QStringLiteral("查询"), this)),
      m_print(new QPushButton(QStringLiteral("打印"), this)), m_chart(new DayTotalsChart(this)) {
    setWindowTitle(QStringLiteral("数据盘点"));

    auto* stock = new QGroupBox(this);
    auto* stockGrid = new QGridLayout(stock);
    const char* stockCaptions[] = {"销售库记录数:", "销售库存总数:",   "销售库存总金额:",
                                   "出租库记录数:", "出租库存总金额:", "在押押金:"};
    int i = 0;
    for (const char* caption : stockCaptions) {
        addFigure(stockGrid, i % 3, (i / 3) * 2, QString::fromUtf8(caption));
        ++i;
    }

    auto* a = new QGroupBox(QStringLiteral("A:"), this);
    auto* aGrid = new QGridLayout(a);
    const char* aCaptions[] = {
        "出租次数:", "实际收租金:", "销售次数:", "销售数量:", "销售金额:", "进货次数:",
        "进货数量:", "进货金额:",   "退货次数:", "退货数量:", "退货金额:"};
    i = 0;
    for (const char* caption : aCaptions) {
        addFigure(aGrid, i % 6, (i / 6) * 2, QString::fromUtf8(caption));
        ++i;
    }

    auto* b = new QGroupBox(QStringLiteral("B:"), this);
    auto* bGrid = new QGridLayout(b);
    const char* bCaptions[] = {"收入笔数:", "收入金额:", "支出笔数:", "支出金额:"};
    i = 0;
    for (const char* caption : bCaptions) {
        addFigure(bGrid, i % 2, (i / 2) * 2, QString::fromUtf8(caption));
        ++i;
    }
    QLabel* balance = addFigure(bGrid, 2, 0, QStringLiteral("合计:"));
    QFont bold = balance->font();
    bold.setBold(true);
    balance->setFont(bold);
    static_cast<QLabel*>(bGrid->itemAtPosition(2, 0)->widget())->setFont(bold);

    auto* c = new QGroupBox(QStringLiteral("C:"), this);
    auto* cRow = new QHBoxLayout(c);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    cRow->addWidget(new QLabel(QStringLiteral("时间从:"), c));
    cRow->addWidget(m_from);
    cRow->addWidget(new QLabel(QStringLiteral("到"), c));
    cRow->addWidget(m_to);
    cRow->addStretch(1);
    cRow->addWidget(m_search);
    cRow->addWidget(m_print);
    cRow->addWidget(close);
    for (QPushButton* button : {m_search, m_print, close})
        button->setAutoDefault(false);
    connect(m_search, &QPushButton::clicked, this, [this] { search(); });
    connect(m_print, &QPushButton::clicked, this, [this] { print(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(stock, 0, 0);
    layout->addWidget(b, 0, 1);
    layout->addWidget(a, 1, 0);
    layout->addWidget(m_chart, 1, 1);
    layout->addWidget(c, 2, 0, 1, 2);
    layout->setColumnStretch(1, 1);

    showFigures(true);
}

QLabel* TDataCheckFm::addFigure(QGridLayout* layout, int row, int column, const QString& caption) {
    auto* label = new QLabel(caption, this);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* value = new QLabel(QStringLiteral("0"), this);
    value->setMinimumWidth(70);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label, row, column);
    layout->addWidget(value, row, column + 1);
    m_figures.insert(caption, value);
    return value;
}

void TDataCheckFm::setFigure(const QString& caption, const QString& text) {
    if (QLabel* label = m_figures.value(caption))
        label->setText(text);
}

QString TDataCheckFm::figure(const QString& caption) const {
    const QLabel* label = m_figures.value(caption);
    return label ? label->text() : QString();
}

bool TDataCheckFm::showFigures(bool withStock) {
    auto summary =
        StockTaking::summary(Db(m_login.connectionName), m_from->date(), m_to->date(), withStock);
    if (!summary) {
        Prompt::error(this, summary.error());
        return false;
    }
    showPeriod(summary->period);
    if (summary->stock)
        showStock(*summary->stock);
    m_chart->setDays(summary->days);
    return true;
}

bool TDataCheckFm::search() {
    return showFigures(false);
}

void TDataCheckFm::showStock(const StockTaking::StockFigures& f) {
    setFigure(QStringLiteral("销售库记录数:"), number(f.saleEntries));
    setFigure(QStringLiteral("销售库存总数:"), number(f.saleUnits));
    setFigure(QStringLiteral("销售库存总金额:"), f.saleValue.toString());
    setFigure(QStringLiteral("出租库记录数:"), number(f.rentItems));
    setFigure(QStringLiteral("出租库存总金额:"), f.rentValue.toString());
    setFigure(QStringLiteral("在押押金:"), f.depositsHeld.toString());
}

void TDataCheckFm::showPeriod(const StockTaking::PeriodFigures& f) {
    setFigure(QStringLiteral("收入笔数:"), number(f.incomeRows));
    setFigure(QStringLiteral("收入金额:"), f.income.toString());
    setFigure(QStringLiteral("支出笔数:"), number(f.expenseRows));
    setFigure(QStringLiteral("支出金额:"), f.expenses.toString());
    setFigure(QStringLiteral("合计:"), f.balance().toString());
    setFigure(QStringLiteral("出租次数:"), number(f.rentals));
    setFigure(QStringLiteral("实际收租金:"), f.rentCollected.toString());
    setFigure(QStringLiteral("销售次数:"), number(f.saleLines));
    setFigure(QStringLiteral("销售数量:"), number(f.unitsSold));
    setFigure(QStringLiteral("销售金额:"), f.salesAmount.toString());
    setFigure(QStringLiteral("进货次数:"), number(f.purchases));
    setFigure(QStringLiteral("进货数量:"), number(f.unitsBought));
    setFigure(QStringLiteral("进货金额:"), f.purchaseAmount.toString());
    setFigure(QStringLiteral("退货次数:"), number(f.refunds));
    setFigure(QStringLiteral("退货数量:"), number(f.unitsRefunded));
    setFigure(QStringLiteral("退货金额:"), f.refundAmount.toString());
}

void TDataCheckFm::printTo(QPrinter& printer) {
    const QPixmap picture = grab();
    QPainter painter(&printer);
    const QRect page = painter.viewport();
    QSize size = picture.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(picture.rect());
    painter.drawPixmap(0, 0, picture);
}

void TDataCheckFm::print() {
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull()) {
        Prompt::warning(this, QStringLiteral("没有可用的打印机!"));
        return;
    }
    QPrinter target(printer, QPrinter::HighResolution);
    printTo(target);
}
