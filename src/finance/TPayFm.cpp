#include "finance/TPayFm.h"

#include "finance/core/IncomeExpenseBooking.h"
#include "finance/core/IncomeExpenseTypes.h"

TPayFm::TPayFm(const LoginContext& login, QWidget* parent)
    : MoneyEntryFm(login, QStringLiteral("收费"), QStringLiteral("选择收费项目"),
                   IncomeExpenseTypes::Income, QStringLiteral("罚款"), QStringLiteral("收入记录"),
                   QStringLiteral("会员姓名"), parent) {}

Result<qint64> TPayFm::book(const Entry& entry) const {
    return IncomeExpenseBooking::bookIncome(Db(m_login.connectionName),
                                            {entry.item, entry.amount, entry.name, entry.remark},
                                            m_login.adminName);
}
