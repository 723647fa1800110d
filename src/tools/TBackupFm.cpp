#include "tools/TBackupFm.h"

#include "store/Clock.h"
#include "store/Connection.h"
#include "tools/core/Backup.h"
#include "ui/Prompt.h"
#include "ui/WorkerTask.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TBackupFm::TBackupFm(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_login(login), m_file(new QLineEdit(this)),
      m_browse(new QPushButton(QStringLiteral("浏览..."), this)),
      m_backup(new QPushButton(QStringLiteral("备份"), this)),
      m_close(new QPushButton(QStringLiteral("关闭"), this)), m_progress(new QProgressBar(this)) {
    setWindowTitle(QStringLiteral("备份数据"));
    auto* text = new QLabel(QStringLiteral("把全部数据备份到一个文件, 备份后会重新打开核对. "
                                           "备份时其他工作站可以照常营业."),
                            this);
    text->setWordWrap(true);
    m_file->setText(QDir::toNativeSeparators(QDir(Backup::automaticFolder(login.config.iniPath))
                                                 .filePath(Backup::defaultFileName(Clock::now()))));
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("备份文件:"), this));
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(m_browse);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_backup);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(fileRow);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    m_progress->setFormat(QStringLiteral("正在备份... %p%"));
    m_progress->hide();
    m_backup->setDefault(true);
    setMinimumWidth(560);

    connect(m_browse, &QPushButton::clicked, this, [this] {
        const QString chosen = Prompt::saveFileName(
            this, QStringLiteral("备份数据"), m_file->text(), QStringLiteral("备份文件 (*.bak)"));
        if (!chosen.isEmpty())
            m_file->setText(QDir::toNativeSeparators(chosen));
    });
    connect(m_backup, &QPushButton::clicked, this, &TBackupFm::backUp);
    connect(m_close, &QPushButton::clicked, this, &TBackupFm::reject);
}

void TBackupFm::backUp() {
    QString file = QDir::fromNativeSeparators(m_file->text().trimmed());
    if (file.isEmpty()) {
        Prompt::warning(this, QStringLiteral("请输入备份文件名."));
        return;
    }
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".bak");
    file = QFileInfo(file).absoluteFilePath();
    if (QFileInfo::exists(file)) {
        if (!Prompt::question(this, QStringLiteral("文件 %1 已经存在, 要覆盖它吗?")
                                        .arg(QDir::toNativeSeparators(file))))
            return;
        if (!QFile::remove(file)) {
            Prompt::error(this,
                          QStringLiteral("不能覆盖文件 %1.").arg(QDir::toNativeSeparators(file)));
            return;
        }
    }
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        Prompt::error(this, QStringLiteral("不能建立文件夹 %1.")
                                .arg(QDir::toNativeSeparators(QFileInfo(file).absolutePath())));
        return;
    }
    // the backup reads over a connection of its own, from a worker thread
    const std::optional<ConnectionSpec> target = Connection::targetOf(m_login.connectionName);
    if (!target) {
        Prompt::error(this, QStringLiteral("数据库没有连接"));
        return;
    }
    Backup::Manifest manifest;
    setRunning(true);
    const Status done = WorkerTask::run(
        [&](const WorkerTask::Step& step) -> Status {
            auto made = Backup::makeApart(*target, file, step);
            if (!made)
                return Error{made.error()};
            manifest = made.value();
            return {};
        },
        m_progress, m_stop);
    setRunning(false);
    if (!done) {
        Prompt::error(this, done.error());
        return;
    }
    Prompt::information(this, QStringLiteral("数据已备份并核对无误:\n%1\n%2")
                                  .arg(QDir::toNativeSeparators(file), Backup::describe(manifest)));
    accept();
}

void TBackupFm::setRunning(bool running) {
    m_running = running;
    m_stop = false;
    m_progress->setVisible(running);
    m_file->setEnabled(!running);
    m_browse->setEnabled(!running);
    m_backup->setEnabled(!running);
    m_close->setText(running ? QStringLiteral("取消") : QStringLiteral("关闭"));
}

void TBackupFm::reject() {
    if (m_running) {
        m_stop = true; // the backup stops and leaves no file
        return;
    }
    QDialog::reject();
}
