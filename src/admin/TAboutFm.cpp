#include "admin/TAboutFm.h"

#include "admin/core/SystemInfo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TAboutFm::TAboutFm(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_title(new QLabel(login.config.softName, this)),
      m_tel(new QLabel(login.config.tel, this)), m_web(new QLabel(login.config.web, this)),
      m_company(new QLabel(login.config.company, this)),
      m_database(new QLabel(SystemInfo::databaseKindText(login.config.kind), this)),
      m_encryption(new QLabel(this)), m_ok(new QPushButton(QStringLiteral("确定"), this)) {
    setWindowTitle(QStringLiteral("关于"));
    QFont big = m_title->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    m_title->setFont(big);

    const auto encryption = SystemInfo::encryptionText(login.connectionName);
    m_encryption->setText(encryption ? encryption.value() : QString());
    m_encryption->setVisible(!m_encryption->text().isEmpty());

    auto* layout = new QVBoxLayout(this);
    for (QLabel* label : {m_title, m_tel, m_web, m_company, m_database, m_encryption}) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(label);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    layout->addLayout(buttons);
    setMinimumWidth(320);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
}
