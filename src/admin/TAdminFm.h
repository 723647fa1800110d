#pragma once

#include "store/LoginContext.h"
#include "ui/ReferenceListWindow.h"

// 管理员权限设置: the administrators, each with a name and the permissions
// ticked in the panel. A new administrator's password is the initial one;
// passwords are neither shown nor changed here. The built-in administrator
// cannot be deleted while it keeps its name.
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
    QHash<QString, QCheckBox*> m_boxes;
};
