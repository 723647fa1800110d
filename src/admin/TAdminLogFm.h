#pragma once

#include "store/LoginContext.h"
#include "ui/ListWindow.h"

// 管理员日志: the log of copies between the catalogues, stock corrections
// and member balance corrections; read, deleted, exported and printed here.
class TAdminLogFm : public ListWindow {
    Q_OBJECT
public:
    explicit TAdminLogFm(const LoginContext& login, QWidget* parent = nullptr);

    void deleteCurrent();
    void deleteAll();

private:
    QString m_connection;
};
