#pragma once

#include "store/LoginContext.h"
#include "ui/ReferenceListWindow.h"

// 介质: the media offered by the sale catalogue and purchase windows. The
// last one cannot be deleted.
class TMediumFm : public ReferenceListWindow {
    Q_OBJECT
public:
    explicit TMediumFm(const LoginContext& login, QWidget* parent = nullptr);

protected:
    QString refuseDelete(const Row& current) const override;
};
