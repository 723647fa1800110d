#include "tools/TRestoreFm.h"

#include "store/Connection.h"
#include "store/Db.h"
#include "tools/core/Backup.h"
#include "tools/core/Restore.h"
#include "ui/Prompt.h"
#include "ui/WorkerTask.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TRestoreFm::TRestoreFm(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_login(login), m_list(new QListWidget(this)), m_details(new QLabel(this)),
      m_rights(new QLabel(this)), m_browse(new QPushButton(QStringLiteral("浏览..."), this)),
      m_restore(new QPushButton(QStringLiteral("恢复"), this)),
      m_close(new QPushButton(QStringLiteral("关闭"), this)), m_progress(new QProgressBar(this)) {
    setWindowTitle(QStringLiteral("恢复数据"));
    auto* text = new QLabel(QStringLiteral("用所选的备份替换现有的全部数据. 现有数据会先保留起来, "
                                           "恢复完成并核对无误后软件退出, 需要重新启动."),
                            this);
    text->setWordWrap(true);
    m_details->setWordWrap(true);
    m_rights->setWordWrap(true);
    m_rights->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_rights->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_browse);
    buttons->addStretch(1);
    buttons->addWidget(m_restore);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(new QLabel(
        QStringLiteral("备份文件 (%1):")
            .arg(QDir::toNativeSeparators(Backup::automaticFolder(login.config.iniPath))),
        this));
    layout->addWidget(m_list, 1);
    layout->addWidget(m_details);
    layout->addWidget(m_rights);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    m_progress->setFormat(QStringLiteral("正在恢复... %p%"));
    m_progress->hide();
    setMinimumSize(560, 380);

    for (const QString& file : Backup::filesIn(Backup::automaticFolder(login.config.iniPath))) {
        auto* item = new QListWidgetItem(QFileInfo(file).fileName(), m_list);
        item->setData(Qt::UserRole, file);
    }
    // a workstation's role that may only read and write rows cannot restore
    const Db db(login.connectionName);
    if (auto owner = db.mayChangeSchema(); !owner || !owner.value()) {
        m_mayRestore = false;
        m_rights->setText(
            QStringLiteral("当前数据库用户 %1 不是数据表的所有者, 不能在这里恢复数据. "
                           "请用 shop-admin restore 和数据库所有者的连接字符串恢复.")
                .arg(db.handle().userName()));
        m_rights->show();
    }
    m_restore->setEnabled(false);
    connect(m_list, &QListWidget::currentItemChanged, this, &TRestoreFm::showChosen);
    connect(m_browse, &QPushButton::clicked, this, [this] {
        const QString chosen = Prompt::openFileName(this, QStringLiteral("恢复数据"),
                                                    QStringLiteral("备份文件 (*.bak)"));
        if (!chosen.isEmpty())
            addFile(chosen);
    });
    connect(m_restore, &QPushButton::clicked, this, &TRestoreFm::restore);
    connect(m_close, &QPushButton::clicked, this, &TRestoreFm::reject);
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
}

void TRestoreFm::addFile(const QString& file) {
    auto* item = new QListWidgetItem(QDir::toNativeSeparators(file));
    item->setData(Qt::UserRole, QFileInfo(file).absoluteFilePath());
    m_list->insertItem(0, item);
    m_list->setCurrentItem(item);
}

void TRestoreFm::showChosen() {
    const QListWidgetItem* item = m_list->currentItem();
    m_restore->setEnabled(false);
    if (!item) {
        m_details->clear();
        return;
    }
    auto checked = Backup::check(item->data(Qt::UserRole).toString());
    if (!checked) {
        m_details->setText(checked.error());
        return;
    }
    m_details->setText(Backup::describe(checked.value()));
    m_restore->setEnabled(m_mayRestore);
}

void TRestoreFm::restore() {
    const QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    const QString file = item->data(Qt::UserRole).toString();
    if (!Prompt::question(this,
                          QStringLiteral("恢复数据将用备份 %1 替换现有的全部数据, 确定要恢复吗?")
                              .arg(QDir::toNativeSeparators(file))))
        return;
    const std::optional<ConnectionSpec> target = Connection::targetOf(m_login.connectionName);
    if (!target) {
        Prompt::error(this, QStringLiteral("数据库没有连接"));
        return;
    }
    // nothing of this program may hold the database while it is replaced
    Connection::close(m_login.connectionName);
    Restore::Outcome outcome;
    const QString keep = Backup::automaticFolder(m_login.config.iniPath);
    setRunning(true);
    const Status done = WorkerTask::run(
        [&](const WorkerTask::Step& step) -> Status {
            auto restored = Restore::run(file, *target, keep, step);
            if (!restored)
                return Error{restored.error()};
            outcome = restored.value();
            return {};
        },
        m_progress, m_stop);
    setRunning(false);
    if (!done) {
        // the data is as it was: the program goes on with it
        const Status reopened = Connection::reopen(m_login.connectionName);
        Prompt::error(this, reopened ? done.error()
                                     : done.error() + QStringLiteral("\n") + reopened.error());
        return;
    }
    QString text =
        QStringLiteral("数据已恢复并核对无误:\n%1").arg(Backup::describe(outcome.manifest));
    if (!outcome.keptAside.isEmpty())
        text +=
            QStringLiteral("\n原有数据保留在: %1").arg(QDir::toNativeSeparators(outcome.keptAside));
    Prompt::information(this, text + QStringLiteral("\n软件将退出, 请重新启动软件."));
    accept();
    // every window closes with the run
    QCoreApplication::exit(0);
}

void TRestoreFm::setRunning(bool running) {
    m_running = running;
    m_stop = false;
    m_progress->setVisible(running);
    m_list->setEnabled(!running);
    m_browse->setEnabled(!running);
    m_restore->setEnabled(!running);
    m_close->setText(running ? QStringLiteral("取消") : QStringLiteral("关闭"));
}

void TRestoreFm::reject() {
    if (m_running) {
        m_stop = true; // stopped before the data is replaced, nothing changes
        return;
    }
    QDialog::reject();
}
