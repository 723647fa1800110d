#include "app/TLgFm.h"

#include "admin/core/AdminLogin.h"
#include "app/TSetDataFm.h"
#include "store/IniFile.h"
#include "store/ShopDatabase.h"
#include "ui/Prompt.h"
#include "ui/WindowSlot.h"

#include <QComboBox>
#include <QDebug>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TLgFm::TLgFm(LoginContext& login, const QString& iniPath, QWidget* parent)
    : QDialog(parent), m_login(login) {
    setWindowTitle(QStringLiteral("系统登录"));

    m_title = new QLabel(this);
    QFont big = m_title->font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    m_title->setFont(big);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setWordWrap(true);

    m_admin = new QComboBox(this);
    m_admin->setEditable(true);
    m_admin->setInsertPolicy(QComboBox::NoInsert);
    m_admin->setMinimumWidth(220);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->installEventFilter(this);
    m_defaultPassword = new QLabel(QStringLiteral("默认密码: 7302"), this);
    m_defaultPassword->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_defaultPassword->hide();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("管理员"), m_admin);
    form->addRow(QStringLiteral("密码"), m_password);
    form->addRow(QString(), m_defaultPassword);

    m_loginButton = new QPushButton(QStringLiteral("登录"), this);
    m_exitButton = new QPushButton(QStringLiteral("退出"), this);
    m_exitButton->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_loginButton);
    buttons->addWidget(m_exitButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(14);
    layout->addWidget(m_title);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(m_loginButton, &QPushButton::clicked, this, &TLgFm::Login);
    connect(m_exitButton, &QPushButton::clicked, this, &QDialog::reject);

    openDatabase(iniPath);
}

void TLgFm::openDatabase(const QString& iniPath) {
    m_login.config = ShopConfig::load(IniFile(iniPath));
    m_title->setText(m_login.config.softName);
    // said once, at the start: the file's lines the program could not read as written
    if (!m_login.config.iniNotice.isEmpty())
        Prompt::warning(this, m_login.config.iniNotice);
    const Status opened = ShopDatabase::open(m_login.config, m_login.connectionName);
    m_connected = opened.ok();
    if (m_connected)
        return;
    qWarning().noquote() << opened.error(); // a connection string in it is masked already
    // the system's words, then the driver's reason, so the clerk can tell a
    // wrong password from a server that is not running
    Prompt::warning(this, QStringLiteral("数据库连接失败,选择数据库.") + u'\n' + opened.error());
    WindowSlot<TSetDataFm> settings;
    settings.open([&] { return new TSetDataFm(m_login, this); });
}

void TLgFm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // filled once when shown, not again when the window comes back from
    // being minimised
    if (!event->spontaneous())
        IniData();
}

bool TLgFm::eventFilter(QObject* watched, QEvent* event) {
    // a key typed in the password box makes "登录" the default, so Enter logs in
    if (watched == m_password && event->type() == QEvent::KeyPress)
        m_loginButton->setDefault(true);
    return QDialog::eventFilter(watched, event);
}

void TLgFm::IniData() {
    m_admin->clear();
    m_password->clear();
    m_defaultPassword->hide();
    if (!m_connected)
        return;
    const Db db(m_login.connectionName);
    auto names = AdminLogin::names(db);
    if (!names) {
        Prompt::error(this, names.error());
        return;
    }
    m_admin->addItems(names.value());
    m_admin->setEditText(names.value().value(0));
    auto unchanged = AdminLogin::defaultAccountUnchanged(db);
    if (!unchanged) {
        Prompt::error(this, unchanged.error());
        return;
    }
    if (unchanged.value()) {
        m_admin->setEditText(AdminLogin::DefaultName);
        m_password->setText(AdminLogin::DefaultPassword);
        m_defaultPassword->show();
    }
}

void TLgFm::Login() {
    const QString name = m_admin->currentText();
    auto admin = AdminLogin::check(Db(m_login.connectionName), name, m_password->text());
    if (!admin) {
        Prompt::error(this, admin.error());
        return;
    }
    if (!admin.value()) {
        Prompt::information(this, QStringLiteral("密码不正确!"));
        m_password->setFocus();
        m_password->selectAll();
        return;
    }
    m_login.permissions = *admin.value();
    m_login.adminName = name;
    // the typed password stays in no window once it has done its work
    m_password->clear();
    accept();
}
