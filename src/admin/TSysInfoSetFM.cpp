#include "admin/TSysInfoSetFM.h"

#include "admin/core/SystemInfo.h"
#include "ui/Prompt.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TSysInfoSetFM::TSysInfoSetFM(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_login(login), m_title(new QLineEdit(this)), m_tel(new QLineEdit(this)),
      m_addr(new QLineEdit(this)),
      m_returnPrompt(new QCheckBox(QStringLiteral("会员归还时弹出提示"), this)),
      m_save(new QPushButton(QStringLiteral("保存"), this)),
      m_close(new QPushButton(QStringLiteral("关闭"), this)) {
    setWindowTitle(QStringLiteral("系统信息设置"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("软件标题名"), m_title);
    form->addRow(QStringLiteral("联系方式"), m_tel);
    form->addRow(QStringLiteral("地址"), m_addr);
    form->addRow(QString(), m_returnPrompt);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);
    // Enter saves from any box; on a focused button, Enter presses it
    m_save->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(m_save, &QPushButton::clicked, this, &TSysInfoSetFM::save);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

void TSysInfoSetFM::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        formShow();
}

void TSysInfoSetFM::formShow() {
    const SystemInfo::Settings stored = SystemInfo::load(m_login.config.iniPath);
    m_title->setText(stored.softName);
    m_tel->setText(stored.tel);
    m_addr->setText(stored.addr);
    m_returnPrompt->setChecked(stored.returnPrompt);
}

void TSysInfoSetFM::save() {
    const SystemInfo::Settings settings{m_title->text(), m_tel->text(), m_addr->text(),
                                        m_returnPrompt->isChecked()};
    if (Status saved = SystemInfo::save(m_login.config.iniPath, settings); !saved) {
        Prompt::error(this, saved.error());
        return;
    }
    Prompt::information(this, QStringLiteral("修改成功,重启软件后生效!"));
    accept();
}
