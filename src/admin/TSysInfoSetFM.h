#pragma once

#include "store/LoginContext.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// 系统信息设置: the shop's title, contact and address, and whether the
// return window prompts after a member's return; written to de.ini. The
// running program keeps its values until the next start.
class TSysInfoSetFM : public QDialog {
    Q_OBJECT
public:
    explicit TSysInfoSetFM(const LoginContext& login, QWidget* parent = nullptr);

    QLineEdit* titleBox() const { return m_title; }
    QLineEdit* telBox() const { return m_tel; }
    QLineEdit* addrBox() const { return m_addr; }
    QCheckBox* returnPromptBox() const { return m_returnPrompt; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* closeButton() const { return m_close; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void formShow();
    void save();

    const LoginContext& m_login;
    QLineEdit* m_title;
    QLineEdit* m_tel;
    QLineEdit* m_addr;
    QCheckBox* m_returnPrompt;
    QPushButton* m_save;
    QPushButton* m_close;
};
