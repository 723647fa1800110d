#pragma once

#include "members/core/MemberBookings.h"
#include "store/LoginContext.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// 会员编辑: edits one member. The window holds one pending edit of the row
// (the row as read and as changed); "保存" saves it as a whole, "取消"
// drops it. The balance correction window works on the same pending edit.
class THyEditFm : public QDialog {
    Q_OBJECT
public:
    THyEditFm(const LoginContext& login, const Member& member, QWidget* parent = nullptr);

    QLineEdit* cardEdit() const { return m_card; }
    QLineEdit* nameEdit() const { return m_name; }
    QComboBox* typeBox() const { return m_type; }
    QComboBox* sexBox() const { return m_sex; }
    QLineEdit* balanceEdit() const { return m_balance; }
    QLineEdit* pointsEdit() const { return m_points; }
    QDateEdit* registeredEdit() const { return m_registered; }
    QLineEdit* idNumberEdit() const { return m_idNumber; }
    QDateEdit* expiryEdit() const { return m_expiry; }
    QComboBox* unitBox() const { return m_unit; }
    QLineEdit* contactEdit() const { return m_contact; }
    QLineEdit* addressEdit() const { return m_address; }
    QComboBox* statusBox() const { return m_status; }
    QPlainTextEdit* remarkEdit() const { return m_remark; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* correctionButton() const { return m_correction; }

    // The row as read when the edit began, and as the fields show it now.
    const Member& asRead() const { return m_asRead; }
    Member edited() const;

private:
    void IniData();
    void showRow(const Member& member);
    void save();
    void correctMoney();

    const LoginContext& m_login;
    Member m_asRead;
    QLineEdit* m_card;
    QLineEdit* m_name;
    QComboBox* m_type;
    QComboBox* m_sex;
    QLineEdit* m_balance;
    QLineEdit* m_points;
    QDateEdit* m_registered;
    QLineEdit* m_idNumber;
    QDateEdit* m_expiry;
    QComboBox* m_unit;
    QLineEdit* m_contact;
    QLineEdit* m_address;
    QComboBox* m_status;
    QPlainTextEdit* m_remark;
    QPushButton* m_save;
    QPushButton* m_cancel;
    QPushButton* m_correction;
};
