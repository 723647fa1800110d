#pragma once

#include "store/LoginContext.h"
#include "store/Money.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// 会员添加: registers new members and books the type's opening fee. The
// window stays open after each member; with "保存后清空" the personal
// entries are emptied for the next member of the same kind.
class THyAddFm : public QDialog {
    Q_OBJECT
public:
    explicit THyAddFm(const LoginContext& login, QWidget* parent = nullptr);

    QLineEdit* cardEdit() const { return m_card; }
    QLineEdit* nameEdit() const { return m_name; }
    QComboBox* typeBox() const { return m_type; }
    QComboBox* sexBox() const { return m_sex; }
    QComboBox* unitBox() const { return m_unit; }
    QLineEdit* idNumberEdit() const { return m_idNumber; }
    QLineEdit* contactEdit() const { return m_contact; }
    QLineEdit* addressEdit() const { return m_address; }
    QPlainTextEdit* remarkEdit() const { return m_remark; }
    QDateEdit* expiryEdit() const { return m_expiry; }
    QLabel* feeLabel() const { return m_feeLabel; }
    QCheckBox* clearAfterSaveBox() const { return m_clearAfterSave; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* closeButton() const { return m_close; }
    Money fee() const { return m_fee; }

Q_SIGNALS:
    // A member was registered (the list shows it at once).
    void memberAdded(const QString& card);

private:
    void IniData();
    void typeChanged(const QString& typeText);
    void save();
    void clearEntries();

    const LoginContext& m_login;
    Money m_fee;
    QLineEdit* m_card;
    QLineEdit* m_name;
    QComboBox* m_type;
    QComboBox* m_sex;
    QComboBox* m_unit;
    QLineEdit* m_idNumber;
    QLineEdit* m_contact;
    QLineEdit* m_address;
    QPlainTextEdit* m_remark;
    QDateEdit* m_expiry;
    QLabel* m_feeLabel;
    QCheckBox* m_clearAfterSave;
    QPushButton* m_save;
    QPushButton* m_close;
};
