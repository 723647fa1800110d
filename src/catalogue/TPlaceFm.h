#pragma once

#include "store/LoginContext.h"
#include "ui/ReferenceListWindow.h"

// 存放位置名设置: the storage locations offered by the catalogue windows.
// The last one cannot be deleted.
class TPlaceFm : public ReferenceListWindow {
    Q_OBJECT
public:
    explicit TPlaceFm(const LoginContext& login, QWidget* parent = nullptr);

protected:
    QString refuseDelete(const Row& current) const override;
};

// "至少留有一个！！" while the list holds exactly one row.
QString refuseDeletingTheLastRow(const ReferenceListWindow& window);
