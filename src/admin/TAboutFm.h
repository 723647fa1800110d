#pragma once

#include "store/LoginContext.h"

#include <QDialog>

class QLabel;
class QPushButton;

// 关于: the shop's configured details and the kind of database in use.
class TAboutFm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutFm(const LoginContext& login, QWidget* parent = nullptr);

    QLabel* titleLabel() const { return m_title; }
    QLabel* telLabel() const { return m_tel; }
    QLabel* webLabel() const { return m_web; }
    QLabel* companyLabel() const { return m_company; }
    QLabel* databaseLabel() const { return m_database; }
    QPushButton* okButton() const { return m_ok; }

private:
    QLabel* m_title;
    QLabel* m_tel;
    QLabel* m_web;
    QLabel* m_company;
    QLabel* m_database;
    QPushButton* m_ok;
};
