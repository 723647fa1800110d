#include "finance/TZhiChuFm.h"

#include "finance/core/IncomeExpenseBooking.h"
#include "finance/core/IncomeExpenseTypes.h"

#include <QComboBox>

TZhiChuFm::TZhiChuFm(const LoginContext& login, QWidget* parent)
    : MoneyEntryFm(login, QStringLiteral("支出"), QStringLiteral("选择项目"),
                   IncomeExpenseTypes::Expense, QString(), QStringLiteral("支出记录"),
                   QStringLiteral("姓名"), parent) {}

QString TZhiChuFm::refusal() const {
    return itemBox()->currentText().trimmed().isEmpty() ? IncomeExpenseBooking::NoItem : QString();
}

Result<qint64> TZhiChuFm::book(const Entry& entry) const {
    return IncomeExpenseBooking::bookExpense(Db(m_login.connectionName),
                                             {entry.item, entry.amount, entry.name, entry.remark},
                                             m_login.adminName);
}
