#pragma once

#include "store/LoginContext.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The database settings window "数据库设置": chooses the embedded file or a
// database server and writes the choice to de.ini for the next start. A
// server can be saved only after a successful test on the window's own
// connection.
class TSetDataFm : public QDialog {
    Q_OBJECT

public:
    // Name of the window's test connection, separate from the shared one.
    static const QString TestConnection;

    TSetDataFm(const LoginContext& login, QWidget* parent = nullptr);
    ~TSetDataFm() override;

    QRadioButton* accessRadio() const { return m_access; }
    QRadioButton* serverRadio() const { return m_server; }
    QGroupBox* serverGroup() const { return m_serverGroup; }
    QComboBox* serverBox() const { return m_serverName; }
    QLineEdit* databaseBox() const { return m_database; }
    QLineEdit* userBox() const { return m_user; }
    QLineEdit* passwordBox() const { return m_password; }
    // TLS: "默认 (prefer)" first, then libpq's modes; the CA file
    QComboBox* sslModeBox() const { return m_sslMode; }
    QLineEdit* sslRootCertBox() const { return m_sslRootCert; }
    QPushButton* testButton() const { return m_testButton; }
    QPushButton* saveButton() const { return m_saveButton; }
    QPushButton* exitButton() const { return m_exitButton; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void formShow();
    void accessClick();
    void serverClick();
    QString sslModeChosen() const;
    void test();
    void save();
    void Exit();

    const LoginContext& m_login;
    QRadioButton* m_access;
    QRadioButton* m_server;
    QGroupBox* m_serverGroup;
    QComboBox* m_serverName;
    QLineEdit* m_database;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QComboBox* m_sslMode;
    QLineEdit* m_sslRootCert;
    QPushButton* m_testButton;
    QPushButton* m_saveButton;
    QPushButton* m_exitButton;
    // the connection string of the last successful test; csSql gets it
    QString m_tested;
};
