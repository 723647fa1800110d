#include "members/THyChongZhiFm.h"

#include "customers/CounterMember.h"
#include "members/core/MemberBookings.h"
#include "members/core/RechargeBooking.h"
#include "ui/NumberEdit.h"
#include "ui/Prompt.h"
#include "ui/TextLimits.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

THyChongZhiFm::THyChongZhiFm(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_login(login) {
    setWindowTitle(QStringLiteral("会员充值"));

    m_card = new QLineEdit;
    m_recharge = new QPushButton(QStringLiteral("充值"));
    m_close = new QPushButton(QStringLiteral("关闭"));
    // Enter in the card box looks the member up; it must not press a button
    m_recharge->setAutoDefault(false);
    m_close->setAutoDefault(false);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("卡号:")));
    top->addWidget(m_card, 1);
    top->addWidget(m_recharge);
    top->addWidget(m_close);

    auto* group = new QGroupBox(QStringLiteral("会员信息:"));
    m_foundCard = new QLineEdit;
    m_foundName = new QLineEdit;
    m_foundBalance = new QLineEdit;
    for (QLineEdit* field : {m_foundCard, m_foundName, m_foundBalance})
        field->setEnabled(false);
    auto* found = new QFormLayout(group);
    found->addRow(QStringLiteral("会员卡号"), m_foundCard);
    found->addRow(QStringLiteral("姓名"), m_foundName);
    found->addRow(QStringLiteral("卡内金额"), m_foundBalance);

    m_amount = new NumberEdit(NumberEdit::Kind::Decimal);
    m_amount->setFieldName(QStringLiteral("充值金额"));
    m_remark = new QPlainTextEdit;
    limitToColumn(m_remark, QStringLiteral("收入记录"), QStringLiteral("说明"));
    limitToColumn(m_card, QStringLiteral("会员库"), QStringLiteral("会员卡号"));
    m_remark->setTabChangesFocus(true);
    m_remark->setFixedHeight(60);
    m_negative = new QCheckBox(QStringLiteral("充负数"));
    m_signedAmount = new QLabel;
    QFont big = m_signedAmount->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    m_signedAmount->setFont(big);
    m_signedAmount->setMinimumHeight(m_signedAmount->fontMetrics().height() + 4);

    auto* entry = new QFormLayout;
    entry->addRow(QStringLiteral("充值金额"), m_amount);
    entry->addRow(QStringLiteral("说明"), m_remark);
    entry->addRow(m_negative, m_signedAmount);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(group);
    layout->addLayout(entry);

    setTabOrder(m_card, m_recharge);
    setTabOrder(m_recharge, m_close);
    setTabOrder(m_close, m_amount);
    setTabOrder(m_amount, m_remark);
    setTabOrder(m_remark, m_negative);

    connect(m_card, &QLineEdit::returnPressed, this, &THyChongZhiFm::findMember);
    connect(m_amount, &QLineEdit::textChanged, this, &THyChongZhiFm::showSignedAmount);
    connect(m_negative, &QCheckBox::toggled, this, &THyChongZhiFm::showSignedAmount);
    connect(m_recharge, &QPushButton::clicked, this, &THyChongZhiFm::recharge);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    resize(420, 320);
    IniData();
}

void THyChongZhiFm::IniData() {
    for (QLineEdit* field : {m_card, m_foundCard, m_foundName, m_foundBalance})
        field->clear();
    m_amount->clear();
    m_remark->clear();
    m_signedAmount->clear();
    m_card->setFocus();
}

QString THyChongZhiFm::signedAmountText() const {
    if (m_negative->isChecked())
        return QString(u'-' + m_amount->text());
    return m_amount->text();
}

void THyChongZhiFm::showSignedAmount() {
    m_signedAmount->setText(signedAmountText());
}

void THyChongZhiFm::findMember() {
    if (m_card->text().trimmed().isEmpty())
        return;
    auto found = CounterMembers::find(Db(m_login.connectionName), m_card->text());
    if (!found) {
        Prompt::error(this, found.error());
        return;
    }
    if (!found.value()) {
        // A card that is not found must not leave the previous member in
        // place: the top-up would go to someone else's card.
        m_foundCard->clear();
        m_foundName->clear();
        m_foundBalance->clear();
        Prompt::information(this, QStringLiteral("没有找到,请检查收入的是否正确!"));
        return;
    }
    const Member& member = found.value()->member;
    m_foundCard->setText(member.card);
    m_foundName->setText(member.name);
    m_foundBalance->setText(member.balance.toString());
    m_amount->setFocus();
}

void THyChongZhiFm::recharge() {
    if (m_foundCard->text().isEmpty())
        return;
    auto amount = m_amount->money(std::nullopt);
    if (!amount) {
        Prompt::error(this, amount.error());
        return;
    }
    Recharge recharge;
    recharge.card = m_foundCard->text().trimmed();
    recharge.name = m_foundName->text().trimmed();
    recharge.amount = m_negative->isChecked() ? -amount.value() : amount.value();
    recharge.remark = m_remark->toPlainText();
    recharge.shownAmount = signedAmountText();
    auto balance = RechargeBooking::book(Db(m_login.connectionName), recharge, m_login.adminName);
    if (!balance) {
        Prompt::error(this, balance.error());
        return;
    }
    m_foundBalance->setText(balance.value().toString());
    Prompt::information(this, QStringLiteral("完成!"));
    accept();
}
