#include "members/THyEditFm.h"

#include "members/THyMoneyModifyFm.h"
#include "members/core/MemberTypeRules.h"
#include "ui/FormParts.h"
#include "ui/ModalSeam.h"
#include "ui/Prompt.h"
#include "ui/TextLimits.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The earliest date of a date box stands for "no date".
const QDate NoDate(1900, 1, 1);

QDateEdit* dateBox() {
    auto* box = new QDateEdit;
    box->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    box->setCalendarPopup(true);
    box->setMinimumDate(NoDate);
    box->setMaximumDate(QDate(9999, 12, 31));
    box->setSpecialValueText(QStringLiteral(" "));
    return box;
}

void showDate(QDateEdit* box, const QDate& day) {
    box->setDate(day.isValid() ? day : NoDate);
}

QDate dateOf(const QDateEdit* box) {
    return box->date() == NoDate ? QDate() : box->date();
}

} // namespace

THyEditFm::THyEditFm(const LoginContext& login, const Member& member, QWidget* parent)
    : QDialog(parent), m_login(login), m_asRead(member) {
    setWindowTitle(QStringLiteral("会员编辑"));
    // left through "保存" or "取消" only
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    const QString table = QStringLiteral("会员库");
    using FormParts::choiceBox;
    using FormParts::textBox;
    m_balance = new QLineEdit;
    m_points = new QLineEdit;
    m_balance->setEnabled(false);
    m_points->setEnabled(false);
    m_remark = new QPlainTextEdit;
    limitToColumn(m_remark, table, QStringLiteral("备注"));
    m_remark->setTabChangesFocus(true);
    m_remark->setFixedHeight(60);
    m_correction = new QPushButton(QStringLiteral("修改卡内金额和积分"));
    m_save = new QPushButton(QStringLiteral("保存"));
    m_cancel = new QPushButton(QStringLiteral("取消"));
    for (QPushButton* b : {m_correction, m_save, m_cancel})
        b->setAutoDefault(false);

    FormParts::FormGrid form;
    m_card = form.add(QStringLiteral("会员卡号:"), textBox(table, QStringLiteral("会员卡号")));
    m_name = form.add(QStringLiteral("会员姓名:"), textBox(table, QStringLiteral("会员姓名")));
    m_type = form.add(QStringLiteral("会员类型:"), choiceBox(table, QStringLiteral("会员类型")));
    m_sex = form.add(QStringLiteral("性别:"), choiceBox(table, QStringLiteral("会员性别")));
    m_sex->addItems({QStringLiteral("男"), QStringLiteral("女")});
    form.add(QStringLiteral("卡内金额:"), m_balance);
    form.add(QStringLiteral("会员积分:"), m_points);
    m_registered = form.add(QStringLiteral("登记日期:"), dateBox());
    m_idNumber = form.add(QStringLiteral("证件号码:"), textBox(table, QStringLiteral("证件号码")));
    m_expiry = form.add(QStringLiteral("有效期:"), dateBox());
    m_unit = form.add(QStringLiteral("单位部门:"), choiceBox(table, QStringLiteral("单位部门")));
    m_contact = form.add(QStringLiteral("联系方式:"), textBox(table, QStringLiteral("联系方式")));
    m_status = form.add(QStringLiteral("状态:"),
                        FormParts::choiceBox({QStringLiteral("正常"), QStringLiteral("停用")}));
    m_address = form.add(QStringLiteral("住址:"), textBox(table, QStringLiteral("住址")));
    form.addSpanning(m_correction);
    form.addWide(QStringLiteral("备注:"), m_remark);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form.layout());
    layout->addLayout(buttons);

    connect(m_save, &QPushButton::clicked, this, &THyEditFm::save);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_correction, &QPushButton::clicked, this, &THyEditFm::correctMoney);

    resize(520, 330);
    IniData();
}

void THyEditFm::IniData() {
    const Db db(m_login.connectionName);
    auto types = MemberTypeRules::memberTypeNames(db);
    if (types)
        m_type->addItems(types.value());
    if (auto units = MemberBookings::unitNames(db))
        m_unit->addItems(units.value());
    showRow(m_asRead);
}

void THyEditFm::showRow(const Member& member) {
    m_card->setText(member.card);
    m_name->setText(member.name);
    m_type->setEditText(member.type);
    m_sex->setEditText(member.sex);
    m_balance->setText(member.balance.toString());
    m_points->setText(member.points.toString());
    showDate(m_registered, member.registered);
    m_idNumber->setText(member.idNumber);
    showDate(m_expiry, member.expiry.date());
    m_unit->setEditText(member.unit);
    m_contact->setText(member.contact);
    m_address->setText(member.address);
    m_status->setEditText(member.status);
    m_remark->setPlainText(member.remark);
}

Member THyEditFm::edited() const {
    Member m = m_asRead;
    m.card = m_card->text();
    m.name = m_name->text();
    m.type = m_type->currentText();
    m.sex = m_sex->currentText();
    m.registered = dateOf(m_registered);
    m.idNumber = m_idNumber->text();
    const QDate expiry = dateOf(m_expiry);
    // an untouched expiry keeps its time of day
    if (expiry != m_asRead.expiry.date())
        m.expiry = expiry.isValid() ? expiry.startOfDay() : QDateTime();
    m.unit = m_unit->currentText();
    m.contact = m_contact->text();
    m.address = m_address->text();
    m.status = m_status->currentText();
    m.remark = m_remark->toPlainText();
    return m;
}

void THyEditFm::save() {
    if (Status saved = MemberBookings::save(Db(m_login.connectionName), m_asRead, edited());
        !saved) {
        Prompt::information(this, QStringLiteral("保存失败!") + u'\n' + saved.error());
        return;
    }
    Prompt::information(this, QStringLiteral("保存成功!"));
    accept();
}

void THyEditFm::correctMoney() {
    if (!m_login.may(Permission::MemberBalanceEdit)) {
        Prompt::information(this, QStringLiteral("没有权限!"));
        return;
    }
    THyMoneyModifyFm correction(m_login, m_asRead, edited(), this);
    const bool saved = ModalSeam::run(&correction) == QDialog::Accepted;
    // Either way the pending edit has ended: saved together with the
    // correction, or dropped. Edit the row again as it now stands.
    const QString card = saved ? correction.savedCard() : m_asRead.card;
    auto fresh = MemberLookup::member(Db(m_login.connectionName), card);
    if (fresh && fresh.value())
        m_asRead = *fresh.value();
    showRow(m_asRead);
}
