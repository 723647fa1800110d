#pragma once

#include "store/LoginContext.h"
#include "ui/ReferenceListWindow.h"

// 管理员权限设置: the administrators, each with a name and the permissions
// ticked in the panel. A new administrator's password is the initial one;
// passwords are neither shown nor changed here. The built-in administrator
// is never renamed or deleted, nobody deletes himself, and someone always
// keeps the right to manage administrators.
class TAdminFm : public ReferenceListWindow {
    Q_OBJECT
public:
    explicit TAdminFm(const LoginContext& login, QWidget* parent = nullptr);

    // The check box of a permission column.
    QCheckBox* permissionBox(const QString& column) const;

protected:
    void prepareNewRow(Row& row) override;
    Status beforeSave(Row& row, bool adding) override;
    QString refuseDelete(const Row& current) const override;

private:
    QString m_connection;
    QString m_loggedIn;
    QHash<QString, QCheckBox*> m_boxes;
};
