#pragma once

#include "store/LoginContext.h"

#include <QDialog>

class QLabel;
class QPushButton;

// 关于: the shop's configured details, the kind of database in use and
// whether the connection to a server is encrypted.
class TAboutFm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutFm(const LoginContext& login, QWidget* parent = nullptr);

    QLabel* titleLabel() const { return m_title; }
    QLabel* telLabel() const { return m_tel; }
    QLabel* webLabel() const { return m_web; }
    QLabel* companyLabel() const { return m_company; }
    QLabel* databaseLabel() const { return m_database; }
    // whether the server connection is encrypted; hidden for an embedded file
    QLabel* encryptionLabel() const { return m_encryption; }
    QPushButton* okButton() const { return m_ok; }

private:
    QLabel* m_title;
    QLabel* m_tel;
    QLabel* m_web;
    QLabel* m_company;
    QLabel* m_database;
    QLabel* m_encryption;
    QPushButton* m_ok;
};
