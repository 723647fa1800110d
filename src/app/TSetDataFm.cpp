#include "app/TSetDataFm.h"

#include "app/DatabaseChoice.h"
#include "store/Connection.h"
#include "store/IniFile.h"
#include "store/ShopConfig.h"
#include "ui/Prompt.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

const QString TSetDataFm::TestConnection = QStringLiteral("shop-settings-test");

namespace {
const QString Restart = QStringLiteral("软件重启后生效!");
} // namespace

TSetDataFm::TSetDataFm(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_login(login) {
    setWindowTitle(QStringLiteral("数据库设置"));

    auto* choice = new QGroupBox(QStringLiteral("请选择"), this);
    m_access =
        new QRadioButton(QStringLiteral("Access  (选择本地access数据库可以直接保存)"), choice);
    m_server = new QRadioButton(QStringLiteral("SqlServer (只有测试连接成功才能保存)"), choice);
    auto* choiceLayout = new QVBoxLayout(choice);
    choiceLayout->addWidget(m_access);
    choiceLayout->addWidget(m_server);

    m_serverGroup = new QGroupBox(QStringLiteral("SqlServer"), this);
    m_serverName = new QComboBox(m_serverGroup);
    m_serverName->setEditable(true);
    m_serverName->setInsertPolicy(QComboBox::NoInsert);
    m_serverName->setMinimumWidth(240);
    m_database = new QLineEdit(m_serverGroup);
    m_user = new QLineEdit(m_serverGroup);
    m_password = new QLineEdit(m_serverGroup);
    m_password->setEchoMode(QLineEdit::Password);
    m_sslMode = new QComboBox(m_serverGroup);
    m_sslMode->addItem(QStringLiteral("默认 (prefer)"), QString());
    for (const QString& mode : ConnectionSpec::SslModes)
        m_sslMode->addItem(mode, mode);
    m_sslRootCert = new QLineEdit(m_serverGroup);
    m_sslRootCert->setPlaceholderText(QStringLiteral("verify-ca, verify-full 时需要"));
    m_testButton = new QPushButton(QStringLiteral("测试"), m_serverGroup);
    m_testButton->setAutoDefault(false);
    auto* form = new QFormLayout(m_serverGroup);
    form->addRow(QStringLiteral("服务器名/ip地址:"), m_serverName);
    form->addRow(QStringLiteral("数据库名:"), m_database);
    form->addRow(QStringLiteral("用户名:"), m_user);
    form->addRow(QStringLiteral("密码:"), m_password);
    form->addRow(QStringLiteral("加密 (SSL):"), m_sslMode);
    form->addRow(QStringLiteral("CA 证书文件:"), m_sslRootCert);
    form->addRow(QString(), m_testButton);
    m_serverGroup->setEnabled(false);

    m_saveButton = new QPushButton(QStringLiteral("保存"), this);
    m_saveButton->setEnabled(false);
    m_exitButton = new QPushButton(QStringLiteral("退出"), this);
    m_saveButton->setAutoDefault(false);
    m_exitButton->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_saveButton);
    buttons->addWidget(m_exitButton);

    auto* layout = new QVBoxLayout(this);
    // the window shrinks and grows with the server group
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(choice);
    layout->addWidget(m_serverGroup);
    layout->addLayout(buttons);

    connect(m_access, &QRadioButton::clicked, this, &TSetDataFm::accessClick);
    connect(m_server, &QRadioButton::clicked, this, &TSetDataFm::serverClick);
    connect(m_testButton, &QPushButton::clicked, this, &TSetDataFm::test);
    connect(m_saveButton, &QPushButton::clicked, this, &TSetDataFm::save);
    connect(m_exitButton, &QPushButton::clicked, this, &TSetDataFm::Exit);
}

TSetDataFm::~TSetDataFm() {
    Connection::close(TestConnection);
}

void TSetDataFm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        formShow();
}

void TSetDataFm::formShow() {
    using namespace IniKeys;
    const QString& kind = m_login.config.kind;
    if (kind == QLatin1String("a")) {
        m_access->setChecked(true);
        accessClick();
    } else if (kind == QLatin1String("s")) {
        m_server->setChecked(true);
        serverClick();
    }
    const IniFile ini(m_login.config.iniPath);
    const QString savedServer = ini.read(Part1, ServerName, Default);
    m_database->setText(ini.read(Part1, DataBaseName, Default));
    m_user->setText(ini.read(Part1, UserName, Default));
    m_password->setText(ini.read(Part1, PassWord, Default));
    const int mode = m_sslMode->findData(ini.read(Part1, SslMode, QString()).trimmed().toLower());
    m_sslMode->setCurrentIndex(qMax(0, mode));
    m_sslRootCert->setText(ini.read(Part1, SslRootCert, QString()));
    // the known servers: the one saved last and this machine
    m_serverName->clear();
    for (const QString& known : {savedServer.trimmed(), QStringLiteral("localhost")}) {
        if (!known.isEmpty() && known != Default && m_serverName->findText(known) < 0)
            m_serverName->addItem(known);
    }
    m_serverName->setEditText(savedServer);
}

void TSetDataFm::accessClick() {
    m_serverGroup->setEnabled(false);
    m_serverGroup->hide();
    m_saveButton->setEnabled(true);
    layout()->activate();
}

void TSetDataFm::serverClick() {
    m_serverGroup->setEnabled(true);
    m_serverGroup->show();
    m_saveButton->setEnabled(false);
    layout()->activate();
}

QString TSetDataFm::sslModeChosen() const {
    return m_sslMode->currentData().toString();
}

void TSetDataFm::test() {
    const QString connectionString = DatabaseChoice::serverConnectionString(
        m_serverName->currentText(), m_database->text(), m_user->text(), m_password->text(),
        sslModeChosen(), m_sslRootCert->text().trimmed());
    // shown before anyone has logged in: never the password
    Prompt::information(this, ConnectionSpec::masked(connectionString));
    Connection::Options options;
    options.timeoutSeconds = 10;
    options.createMissingFile = false;
    if (Status opened = Connection::open(connectionString, TestConnection, options); !opened) {
        Prompt::warning(this, QStringLiteral("连接失败"));
        return;
    }
    m_tested = connectionString;
    Prompt::information(this, QStringLiteral("连接成功!"));
    m_saveButton->setEnabled(true);
}

void TSetDataFm::save() {
    DatabaseChoice choice;
    if (m_server->isChecked())
        choice.server = true;
    else if (!m_access->isChecked())
        return;
    choice.serverName = m_serverName->currentText();
    choice.databaseName = m_database->text();
    choice.userName = m_user->text();
    choice.password = m_password->text();
    choice.sslMode = sslModeChosen();
    choice.sslRootCert = m_sslRootCert->text();
    choice.testedConnectionString = m_tested;
    if (Status saved = choice.save(m_login.config.iniPath); !saved) {
        Prompt::error(this, saved.error());
        return;
    }
    Prompt::information(this, Restart);
    accept();
}

void TSetDataFm::Exit() {
    Prompt::information(this, Restart);
    reject();
}
