#pragma once

#include "store/LoginContext.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The login window "系统登录". Its creation reads de.ini and opens the shared
// connection; a successful login fills the LoginContext and accepts the
// window, "退出" (or closing it) rejects it and so ends the program.
class TLgFm : public QDialog {
    Q_OBJECT

public:
    TLgFm(LoginContext& login, const QString& iniPath, QWidget* parent = nullptr);

    // Whether the start-up connection is open.
    bool connected() const { return m_connected; }

    QLabel* titleLabel() const { return m_title; }
    QComboBox* adminBox() const { return m_admin; }
    QLineEdit* passwordBox() const { return m_password; }
    QLabel* defaultPasswordLabel() const { return m_defaultPassword; }
    QPushButton* loginButton() const { return m_loginButton; }
    QPushButton* exitButton() const { return m_exitButton; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The start-up configuration and connection.
    void openDatabase(const QString& iniPath);
    // The administrator list and the default-account prefill.
    void IniData();
    void Login();

    LoginContext& m_login;
    bool m_connected = false;
    QLabel* m_title;
    QComboBox* m_admin;
    QLineEdit* m_password;
    QLabel* m_defaultPassword;
    QPushButton* m_loginButton;
    QPushButton* m_exitButton;
};
