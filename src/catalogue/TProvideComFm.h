#pragma once

#include "store/LoginContext.h"
#include "ui/ReferenceListWindow.h"

// 供应商信息: the suppliers with their contact data and the amount owed to
// them, kept by hand. The list is disabled while a row is edited.
class TProvideComFm : public ReferenceListWindow {
    Q_OBJECT
public:
    explicit TProvideComFm(const LoginContext& login, QWidget* parent = nullptr);
};
