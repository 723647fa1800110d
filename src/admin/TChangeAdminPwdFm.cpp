#include "admin/TChangeAdminPwdFm.h"

#include "admin/core/AdminAccounts.h"
#include "ui/Prompt.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TChangeAdminPwdFm::TChangeAdminPwdFm(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_login(login), m_name(new QLabel(this)), m_old(new QLineEdit(this)),
      m_new(new QLineEdit(this)), m_confirm(new QLineEdit(this)),
      m_save(new QPushButton(QStringLiteral("保存"), this)),
      m_close(new QPushButton(QStringLiteral("关闭"), this)) {
    setWindowTitle(QStringLiteral("管理员密码修改"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("管理员:"), m_name);
    form->addRow(QStringLiteral("旧密码:"), m_old);
    form->addRow(QStringLiteral("新密码:"), m_new);
    form->addRow(QStringLiteral("确认新密码:"), m_confirm);
    for (QLineEdit* box : {m_old, m_new, m_confirm})
        box->setEchoMode(QLineEdit::Password);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);
    m_save->setDefault(true);
    m_close->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(320);

    connect(m_save, &QPushButton::clicked, this, &TChangeAdminPwdFm::save);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

void TChangeAdminPwdFm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        formShow();
}

void TChangeAdminPwdFm::formShow() {
    m_name->setText(m_login.adminName);
    m_old->clear();
    m_new->clear();
    m_confirm->clear();
    m_old->setFocus();
}

void TChangeAdminPwdFm::save() {
    using AdminAccounts::PasswordChange;
    auto changed = AdminAccounts::changePassword(Db(m_login.connectionName), m_login.adminName,
                                                 m_old->text(), m_new->text(), m_confirm->text());
    if (!changed) {
        Prompt::error(this, changed.error());
        return;
    }
    switch (changed.value()) {
    case PasswordChange::Mismatch:
        Prompt::warning(this, QStringLiteral("两次输入的新密码不一致！"));
        return;
    case PasswordChange::WrongOld:
        Prompt::warning(this, QStringLiteral("旧密码输入错误！"));
        return;
    case PasswordChange::Changed:
        Prompt::information(this, QStringLiteral("修改成功！"));
        accept();
        return;
    }
}
