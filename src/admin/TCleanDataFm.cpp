#include "admin/TCleanDataFm.h"

#include "admin/core/CleanData.h"
#include "store/BackgroundWork.h"
#include "store/Clock.h"
#include "tools/core/Backup.h"
#include "ui/Prompt.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TCleanDataFm::TCleanDataFm(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_login(login), m_ok(new QPushButton(QStringLiteral("确定"), this)),
      m_back(new QPushButton(QStringLiteral("返回"), this)), m_progress(new QProgressBar(this)) {
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
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    m_progress->setFormat(QStringLiteral("正在删除... %v/%m"));
    m_progress->hide();
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
    QStringList messages;
    // Before anything is deleted the data is backed up, without a word when
    // that succeeds, into the folder of automatic backups (恢复数据 lists them).
    const QString backup =
        QDir(Backup::automaticFolder(m_login.config.iniPath))
            .filePath(QStringLiteral("初始化前_") + Backup::defaultFileName(Clock::now()));
    BackgroundWork work(m_login.connectionName,
                        [&](const Db& db, const BackgroundWork::Progress& progress) -> Status {
                            if (!chosen.isEmpty()) {
                                QDir().mkpath(QFileInfo(backup).absolutePath());
                                auto kept = Backup::make(db, backup);
                                if (!kept)
                                    return Error{
                                        QStringLiteral("备份数据失败, 没有删除任何数据.\n") +
                                        kept.error()};
                            }
                            auto done = CleanData::run(db, chosen, progress);
                            if (!done)
                                return Error{done.error()};
                            messages = done.value();
                            return {};
                        });
    connect(&work, &BackgroundWork::progressed, m_progress, [this](int done, int total) {
        m_progress->setRange(0, total);
        m_progress->setValue(done);
    });
    setRunning(true);
    const Status done = work.run();
    setRunning(false);
    if (!done) {
        // nothing was deleted; the window stays for another try
        Prompt::error(this, done.error());
        return;
    }
    for (const QString& message : std::as_const(messages))
        Prompt::information(this, message);
    accept();
}

void TCleanDataFm::setRunning(bool running) {
    m_running = running;
    if (running)
        m_progress->setRange(0, 0); // busy until the first step is done
    m_progress->setVisible(running);
    m_ok->setEnabled(!running);
    m_back->setEnabled(!running);
    for (QCheckBox* box : std::as_const(m_boxes))
        box->setEnabled(!running);
}

void TCleanDataFm::reject() {
    if (m_running)
        return; // the deleting runs to its end, all of it or none
    QDialog::reject();
}
