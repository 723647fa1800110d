#pragma once

#include "members/core/MemberBookings.h"
#include "store/LoginContext.h"
#include "ui/CorrectionDialog.h"

class QLineEdit;

// 会员-金额,积分: sets a member's balance and points by hand. It saves the
// edit window's pending edit together with them and writes the log row, or
// with "取消" drops the whole pending edit.
class THyMoneyModifyFm : public CorrectionDialog {
    Q_OBJECT
public:
    THyMoneyModifyFm(const LoginContext& login, const Member& asRead, const Member& edited,
                     QWidget* parent = nullptr);

    QLineEdit* balanceEdit() const { return m_balance; }
    QLineEdit* pointsEdit() const { return m_points; }
    // The card number after saving.
    const QString& savedCard() const { return m_edited.card; }

private:
    Status save() override;

    const LoginContext& m_login;
    Member m_asRead;
    Member m_edited;
    QLineEdit* m_balance;
    QLineEdit* m_points;
};
