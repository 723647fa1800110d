#include "members/THyAddFm.h"

#include "members/core/MemberBookings.h"
#include "members/core/MemberTypeRules.h"
#include "ui/FormParts.h"
#include "ui/Prompt.h"
#include "ui/TextLimits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using FormParts::boldLabel;

THyAddFm::THyAddFm(const LoginContext& login, QWidget* parent) : QDialog(parent), m_login(login) {
    setWindowTitle(QStringLiteral("会员添加"));

    const QString table = QStringLiteral("会员库");
    using FormParts::choiceBox;
    using FormParts::textBox;
    m_card = textBox(table, QStringLiteral("会员卡号"));
    m_name = textBox(table, QStringLiteral("会员姓名"));
    m_type = choiceBox(table, QStringLiteral("会员类型"));
    m_sex = choiceBox(table, QStringLiteral("会员性别"));
    m_unit = choiceBox(table, QStringLiteral("单位部门"));
    m_idNumber = textBox(table, QStringLiteral("证件号码"));
    m_contact = textBox(table, QStringLiteral("联系方式"));
    m_address = textBox(table, QStringLiteral("住址"));
    m_remark = new QPlainTextEdit;
    limitToColumn(m_remark, table, QStringLiteral("备注"));
    m_remark->setTabChangesFocus(true);
    m_remark->setFixedHeight(60);
    m_expiry = new QDateEdit;
    m_expiry->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_expiry->setCalendarPopup(true);
    m_expiry->setMaximumDate(QDate(9999, 12, 31));
    m_feeLabel = new QLabel;
    m_clearAfterSave = new QCheckBox(QStringLiteral("保存后清空"));
    m_save = new QPushButton(QStringLiteral("保存"));
    m_close = new QPushButton(QStringLiteral("关闭"));
    m_save->setAutoDefault(false);
    m_close->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->addRow(boldLabel(QStringLiteral("会员卡号:")), m_card);
    form->addRow(boldLabel(QStringLiteral("会员姓名:")), m_name);
    form->addRow(boldLabel(QStringLiteral("会员类型:")), m_type);
    form->addRow(QString(), m_feeLabel);
    form->addRow(QStringLiteral("性别:"), m_sex);
    form->addRow(QStringLiteral("单位部门:"), m_unit);
    form->addRow(QStringLiteral("证件号码:"), m_idNumber);
    form->addRow(QStringLiteral("联系方式:"), m_contact);
    form->addRow(QStringLiteral("住址:"), m_address);
    form->addRow(QStringLiteral("有效期:"), m_expiry);
    form->addRow(QStringLiteral("备注:"), m_remark);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_clearAfterSave);
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(m_type, &QComboBox::currentTextChanged, this, &THyAddFm::typeChanged);
    connect(m_save, &QPushButton::clicked, this, &THyAddFm::save);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    resize(380, 460);
    IniData();
}

void THyAddFm::IniData() {
    const Db db(m_login.connectionName);
    m_fee = Money();
    m_feeLabel->setText(QStringLiteral("开户费:"));
    clearEntries();
    m_unit->clear();
    m_type->blockSignals(true);
    m_type->clear();
    m_type->blockSignals(false);
    m_type->setEditText(QString());
    m_sex->clear();
    m_sex->addItems({QStringLiteral("男"), QStringLiteral("女")});
    m_sex->setCurrentIndex(0);
    m_expiry->setDate(NewMember::defaultExpiry().date());

    auto anyType = MemberTypeRules::typeCount(db);
    auto types = MemberTypeRules::memberTypeNames(db);
    if (!anyType || !types) {
        Prompt::error(this, !anyType ? anyType.error() : types.error());
        m_save->setEnabled(false);
        return;
    }
    if (anyType.value() == 0) {
        Prompt::information(this, QStringLiteral("没有 会员类型,不能添加会员,请先设置好!"));
        m_save->setEnabled(false);
    }
    m_type->blockSignals(true);
    m_type->addItems(types.value());
    m_type->setCurrentIndex(-1);
    m_type->setEditText(QString());
    m_type->blockSignals(false);

    if (auto units = MemberBookings::unitNames(db))
        m_unit->addItems(units.value());
    m_unit->setCurrentIndex(-1);
    m_unit->setEditText(QString());
    m_card->setFocus();
}

void THyAddFm::clearEntries() {
    for (QLineEdit* entry : {m_card, m_name, m_idNumber, m_contact, m_address})
        entry->clear();
    m_unit->setCurrentIndex(-1);
    m_unit->setEditText(QString());
    m_remark->clear();
    m_card->setFocus();
}

void THyAddFm::typeChanged(const QString& typeText) {
    auto type = MemberLookup::memberType(Db(m_login.connectionName), typeText.trimmed());
    // a name matching no type keeps the fee of the last one matched
    if (type && type.value())
        m_fee = type.value()->fee;
    m_feeLabel->setText(QStringLiteral("开户费: ") + m_fee.toString() + QStringLiteral(" 元"));
}

void THyAddFm::save() {
    if (m_card->text().trimmed().isEmpty() || m_name->text().trimmed().isEmpty() ||
        m_type->currentText().trimmed().isEmpty()) {
        Prompt::information(this, QStringLiteral("字体加重的项目必须填写!"));
        return;
    }
    NewMember member;
    member.card = m_card->text();
    member.name = m_name->text();
    member.type = m_type->currentText();
    member.sex = m_sex->currentText();
    member.unit = m_unit->currentText();
    member.idNumber = m_idNumber->text();
    member.contact = m_contact->text();
    member.address = m_address->text();
    member.remark = m_remark->toPlainText();
    member.expiry = m_expiry->date().startOfDay();
    member.fee = m_fee;
    if (Status saved =
            MemberBookings::registerMember(Db(m_login.connectionName), member, m_login.adminName);
        !saved) {
        // the database's reason tells the clerk what to change
        Prompt::information(this, QStringLiteral("保存失败") + u'\n' + saved.error(),
                            QStringLiteral("提示"));
        return;
    }
    Q_EMIT memberAdded(member.card.trimmed());
    Prompt::information(this, QStringLiteral("完成!"));
    if (m_clearAfterSave->isChecked())
        clearEntries();
}
