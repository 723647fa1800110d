#include "admin/TCleanDataFm.h"

#include "admin/core/CleanData.h"
#include "ui/Prompt.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TCleanDataFm::TCleanDataFm(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_login(login), m_ok(new QPushButton(QStringLiteral("确定"), this)),
      m_back(new QPushButton(QStringLiteral("返回"), this)) {
    setWindowTitle(QStringLiteral("清理数据"));

    auto* warning = new QGroupBox(QStringLiteral("重要提示:"), this);
    auto* text = new QLabel(
        QStringLiteral("此步操作将永久性删除数据信息,强烈建议您备份数据后再进行."), warning);
    text->setWordWrap(true);
    text->setStyleSheet(QStringLiteral("color: #b00000;"));
    (new QVBoxLayout(warning))->addWidget(text);

    auto* choices = new QWidget(this);
    auto* grid = new QGridLayout(choices);
    const auto& steps = CleanData::steps();
    for (int i = 0; i < steps.size(); ++i) {
        auto* box = new QCheckBox(steps[i].caption, choices);
        grid->addWidget(box, i / 2, i % 2);
        m_boxes << box;
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_back);
    m_ok->setAutoDefault(false);
    m_back->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(warning);
    layout->addWidget(choices);
    layout->addLayout(buttons);
    setMinimumWidth(400);

    connect(m_ok, &QPushButton::clicked, this, &TCleanDataFm::clean);
    connect(m_back, &QPushButton::clicked, this, &QDialog::reject);
}

void TCleanDataFm::clean() {
    const auto typed = Prompt::text(this, QStringLiteral("输入密码"),
                                    QStringLiteral("输入正确的密码后才能执行删除任务:"));
    if (!typed || !CleanData::passwordMatches(*typed)) {
        Prompt::warning(this, QStringLiteral("密码错误!"));
        return;
    }
    QList<int> chosen;
    for (int i = 0; i < m_boxes.size(); ++i)
        if (m_boxes[i]->isChecked())
            chosen << i;
    auto done = CleanData::run(Db(m_login.connectionName), chosen);
    if (!done) {
        // nothing was deleted; the window stays for another try
        Prompt::error(this, done.error());
        return;
    }
    for (const QString& message : done.value())
        Prompt::information(this, message);
    accept();
}
