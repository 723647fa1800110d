#include "finance/RecordFm.h"

#include "output/ListOutput.h"
#include "store/Clock.h"
#include "ui/TextLimits.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

RecordQueryWindow::Form formOf(const RecordQueryConfig& config) {
    RecordQueryWindow::Form form;
    form.title = config.title;
    for (const RecordTextFilter& text : config.texts)
        form.textCaptions << text.caption;
    for (const RecordDateFilter& date : config.dates)
        form.rangeCaptions << date.caption;
    const QDate today = Clock::today();
    form.rangeFrom = config.pickersFromYear2000 ? QDate(2000, 1, 1) : today.addDays(-1);
    form.rangeTo = today.addDays(1);
    if (config.returnedChoice) {
        form.choiceCaption = QStringLiteral("是否已还");
        form.choices = ReturnedChoices;
    }
    return form;
}

ReportTemplate reportOf(RecordKind kind) {
    switch (kind) {
    case RecordKind::Rent:
        return ReportTemplate::RentRecords;
    case RecordKind::Income:
        return ReportTemplate::Income;
    case RecordKind::Sales:
        return ReportTemplate::SaleRecords;
    case RecordKind::Purchases:
        return ReportTemplate::PurchaseRecords;
    case RecordKind::Expenses:
        return ReportTemplate::Expenses;
    case RecordKind::Refunds:
        break;
    }
    return ReportTemplate::Refunds;
}

} // namespace

RecordFm::RecordFm(RecordKind kind, const LoginContext& login, QWidget* parent)
    : RecordQueryWindow(formOf(recordQueryConfig(kind)), parent), m_kind(kind), m_login(login) {
    const RecordQueryConfig& c = config();
    grid()->setMoneyColumns(c.money);
    grid()->setColumnOrder(c.columns);
    grid()->setHiddenColumns(c.hidden);
    for (const auto& [column, caption] : c.captions)
        grid()->setCaption(column, caption);
    grid()->setFooter(c.countColumn, c.sumColumns);
    for (int i = 0; i < c.texts.size(); ++i)
        limitToColumn(textBox(i), c.table, c.texts.at(i).column);
    if (QLineEdit* barcode = textBoxFor(QStringLiteral("条形码")))
        barcode->setFocus();
    showList(RecordQueries::initialQuery(kind, Clock::today(), login.connectionName));
}

QLineEdit* RecordFm::textBoxFor(const QString& column) const {
    const auto& texts = config().texts;
    for (int i = 0; i < texts.size(); ++i)
        if (texts.at(i).column == column)
            return textBox(i);
    return nullptr;
}

Result<std::optional<ListQuery>> RecordFm::searchQuery(const Input& input) const {
    RecordFilter filter;
    filter.texts = input.texts;
    for (const auto& range : input.ranges)
        filter.dates << (range ? std::optional<DateRange>(DateRange{range->from, range->to})
                               : std::nullopt);
    filter.returned = input.choice;
    return RecordQueries::searchQuery(m_kind, filter, m_login.connectionName);
}

void RecordFm::exportList() {
    ListOutput::exportToExcel(this, grid()->currentQuery(), config().table);
}

void RecordFm::printList() {
    ListOutput::printList(this, reportOf(m_kind), grid()->currentQuery());
}
