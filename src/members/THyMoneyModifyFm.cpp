#include "members/THyMoneyModifyFm.h"

#include "store/TypedNumber.h"

#include <QLineEdit>

THyMoneyModifyFm::THyMoneyModifyFm(const LoginContext& login, const Member& asRead,
                                   const Member& edited, QWidget* parent)
    : CorrectionDialog(QStringLiteral("会员-金额,积分"), parent), m_login(login), m_asRead(asRead),
      m_edited(edited),
      // plain boxes: a balance may be corrected to below zero
      m_balance(new QLineEdit), m_points(new QLineEdit) {
    m_balance->setText(edited.balance.toString());
    m_points->setText(edited.points.toString());
    addBox(QStringLiteral("卡内金额"), m_balance);
    addBox(QStringLiteral("会员积分"), m_points);
    resize(280, 130);
}

Status THyMoneyModifyFm::save() {
    auto balance = TypedNumber::read(
        m_balance->text(), TypedNumber::boxAmount(QStringLiteral("卡内金额"), std::nullopt));
    if (!balance)
        return Error{balance.error()};
    auto points = TypedNumber::read(
        m_points->text(), TypedNumber::boxAmount(QStringLiteral("会员积分"), std::nullopt));
    if (!points)
        return Error{points.error()};
    Member corrected = m_edited;
    corrected.balance = balance.value();
    corrected.points = points.value();
    if (Status saved = MemberBookings::correct(Db(m_login.connectionName), m_asRead, corrected,
                                               m_login.adminName);
        !saved)
        return saved;
    m_edited = corrected;
    return {};
}
