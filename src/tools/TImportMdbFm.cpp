#include "tools/TImportMdbFm.h"

#include "store/Connection.h"
#include "store/Db.h"
#include "ui/Prompt.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

QString& TImportMdbFm::adminProgram() {
    static QString program =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("shop-admin"));
    return program;
}

TImportMdbFm::TImportMdbFm(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_login(login), m_file(new QLineEdit(this)),
      m_browse(new QPushButton(QStringLiteral("浏览..."), this)),
      m_preview(new QPushButton(QStringLiteral("预览"), this)),
      m_import(new QPushButton(QStringLiteral("导入"), this)),
      m_close(new QPushButton(QStringLiteral("关闭"), this)), m_rights(new QLabel(this)),
      m_progress(new QProgressBar(this)), m_report(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("导入旧数据"));
    auto* text = new QLabel(QStringLiteral("把旧程序的数据文件 (data.mdb) 导入新建的数据库. "
                                           "只能导入到刚初始化、还没有营业数据的数据库中."),
                            this);
    text->setWordWrap(true);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("旧数据文件:"), this));
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(m_browse);
    m_rights->setWordWrap(true);
    m_rights->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_rights->hide();
    m_report->setReadOnly(true);
    m_report->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_report->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_preview);
    buttons->addWidget(m_import);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(fileRow);
    layout->addWidget(m_rights);
    layout->addWidget(m_report, 1);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    m_progress->hide();
    m_import->setEnabled(false);
    setMinimumSize(640, 460);

    const Db db(login.connectionName);
    if (auto owner = db.mayChangeSchema(); !owner || !owner.value()) {
        m_rights->setText(
            QStringLiteral("当前数据库用户 %1 不是数据表的所有者, 不能在这里导入. "
                           "请用 shop-admin import-mdb 和数据库所有者的连接字符串导入.")
                .arg(db.handle().userName()));
        m_rights->show();
    }
    connect(m_browse, &QPushButton::clicked, this, [this] {
        const QString chosen = Prompt::openFileName(this, QStringLiteral("导入旧数据"),
                                                    QStringLiteral("Access 数据文件 (*.mdb)"));
        if (!chosen.isEmpty())
            m_file->setText(QDir::toNativeSeparators(chosen));
    });
    connect(m_file, &QLineEdit::textChanged, this, [this] {
        m_previewed = false;
        m_import->setEnabled(false);
    });
    connect(m_preview, &QPushButton::clicked, this, &TImportMdbFm::preview);
    connect(m_import, &QPushButton::clicked, this, &TImportMdbFm::import);
    connect(m_close, &QPushButton::clicked, this, &TImportMdbFm::reject);
}

int TImportMdbFm::runCommand(const QStringList& arguments, const QString& input) {
    QProcess process;
    m_process = &process;
    // a relative Data Source names a file beside the program, as here
    process.setWorkingDirectory(Connection::baseDir());
    QString output;
    QString errors;
    connect(&process, &QProcess::readyReadStandardOutput, this, [&] {
        while (process.canReadLine()) {
            const QString line = QString::fromUtf8(process.readLine()).chopped(1);
            const QStringList parts = line.split(u' ');
            if (parts.size() == 4 && parts[0] == QLatin1String("progress")) {
                m_progress->setFormat(parts[1] + QStringLiteral(" %v/%m"));
                m_progress->setRange(0, int(std::max(1LL, parts[3].toLongLong())));
                m_progress->setValue(int(parts[2].toLongLong()));
            } else if (!line.startsWith(QLatin1String("report "))) {
                output += line + u'\n';
            }
        }
    });
    connect(&process, &QProcess::readyReadStandardError, this,
            [&] { errors += QString::fromUtf8(process.readAllStandardError()); });
    QEventLoop loop;
    connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            errors = QStringLiteral("不能启动 %1").arg(QDir::toNativeSeparators(adminProgram()));
            loop.quit();
        }
    });
    // the report is kept beside de.ini
    const QString report = QFileInfo(m_login.config.iniPath)
                               .absoluteDir()
                               .filePath(QStringLiteral("导入报告_%1.txt")
                                             .arg(QDateTime::currentDateTime().toString(
                                                 QStringLiteral("yyyyMMdd_hhmmss_zzz"))));
    setRunning(true);
    process.start(adminProgram(), QStringList{QStringLiteral("import-mdb")} + arguments +
                                      QStringList{QStringLiteral("--report"), report});
    if (!input.isEmpty()) {
        process.write(input.toUtf8() + '\n');
        process.closeWriteChannel();
    }
    loop.exec();
    process.waitForFinished();
    setRunning(false);
    m_process = nullptr;
    m_report->setPlainText(output + errors);
    if (process.error() == QProcess::FailedToStart)
        return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void TImportMdbFm::preview() {
    const QString file = QDir::fromNativeSeparators(m_file->text().trimmed());
    if (!QFileInfo(file).isFile()) {
        Prompt::warning(this, QStringLiteral("请选择旧数据文件 (data.mdb)."));
        return;
    }
    m_previewed = runCommand({QStringLiteral("--preview"), file}) == 0;
    m_import->setEnabled(m_previewed && m_rights->isHidden());
}

void TImportMdbFm::import() {
    const QString file = QDir::fromNativeSeparators(m_file->text().trimmed());
    if (!m_previewed ||
        !Prompt::question(this, QStringLiteral("旧数据将导入到当前数据库, 确定要导入吗?")))
        return;
    // the connection string (and its password) goes through standard input
    if (runCommand({file, QStringLiteral("-")}, m_login.config.connectionString) != 0) {
        Prompt::error(this, QStringLiteral("导入没有完成, 数据库没有改动."));
        return;
    }
    Prompt::information(this,
                        QStringLiteral("导入完成, 报告见窗口中. 软件将退出, 请重新启动软件."));
    accept();
    // the administrators and every list are those of the old shop now
    QCoreApplication::exit(0);
}

void TImportMdbFm::setRunning(bool running) {
    m_progress->setVisible(running);
    if (running)
        m_progress->setRange(0, 0);
    m_file->setEnabled(!running);
    m_browse->setEnabled(!running);
    m_preview->setEnabled(!running);
    m_import->setEnabled(!running && m_previewed && m_rights->isHidden());
    m_close->setText(running ? QStringLiteral("取消") : QStringLiteral("关闭"));
}

void TImportMdbFm::reject() {
    if (m_process) {
        // the import's transaction is rolled back in its process
        m_process->terminate();
        return;
    }
    QDialog::reject();
}
