#pragma once

#include "store/LoginContext.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// 管理员密码修改: the logged-in administrator changes his own password. The
// new password is used from the next login on.
class TChangeAdminPwdFm : public QDialog {
    Q_OBJECT
public:
    explicit TChangeAdminPwdFm(const LoginContext& login, QWidget* parent = nullptr);

    QLabel* nameLabel() const { return m_name; }
    QLineEdit* oldBox() const { return m_old; }
    QLineEdit* newBox() const { return m_new; }
    QLineEdit* confirmBox() const { return m_confirm; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* closeButton() const { return m_close; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void formShow();
    void save();

    const LoginContext& m_login;
    QLabel* m_name;
    QLineEdit* m_old;
    QLineEdit* m_new;
    QLineEdit* m_confirm;
    QPushButton* m_save;
    QPushButton* m_close;
};
