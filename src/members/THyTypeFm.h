#pragma once

#include "store/LoginContext.h"
#include "ui/ReferenceListWindow.h"

// 会员类型设置: the member types and their terms. The walk-in type "散客"
// keeps its name and cannot be deleted.
class THyTypeFm : public ReferenceListWindow {
    Q_OBJECT
public:
    explicit THyTypeFm(const LoginContext& login, QWidget* parent = nullptr);

protected:
    void prepareNewRow(Row& row) override;
    QStringList lockedColumns(const Row& current) const override;
    Status beforeSave(Row& row, bool adding) override;
    QString refuseDelete(const Row& current) const override;
};
