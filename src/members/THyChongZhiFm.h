#pragma once

#include "store/LoginContext.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class NumberEdit;

// 会员充值: tops up a member card (or, with "充负数", takes money off it)
// and books the amount as income. One opening serves one top-up.
class THyChongZhiFm : public QDialog {
    Q_OBJECT
public:
    explicit THyChongZhiFm(const LoginContext& login, QWidget* parent = nullptr);

    QLineEdit* cardEdit() const { return m_card; }
    QLineEdit* foundCard() const { return m_foundCard; }
    QLineEdit* foundName() const { return m_foundName; }
    QLineEdit* foundBalance() const { return m_foundBalance; }
    NumberEdit* amountEdit() const { return m_amount; }
    QPlainTextEdit* remarkEdit() const { return m_remark; }
    QCheckBox* negativeBox() const { return m_negative; }
    QLabel* signedAmountLabel() const { return m_signedAmount; }
    QPushButton* rechargeButton() const { return m_recharge; }
    QPushButton* closeButton() const { return m_close; }

    // The amount as displayed: the typed text, preceded by "-" when
    // "充负数" is ticked.
    QString signedAmountText() const;

private:
    void IniData();
    void findMember();
    void showSignedAmount();
    void recharge();

    const LoginContext& m_login;
    QLineEdit* m_card;
    QPushButton* m_recharge;
    QPushButton* m_close;
    QLineEdit* m_foundCard;
    QLineEdit* m_foundName;
    QLineEdit* m_foundBalance;
    NumberEdit* m_amount;
    QPlainTextEdit* m_remark;
    QCheckBox* m_negative;
    QLabel* m_signedAmount;
};
