#pragma once

#include "store/LoginContext.h"
#include "ui/ReferenceListWindow.h"

// 商品类型设置: the goods types with their daily rent and deposit. The
// type "普通" cannot be deleted. A name is one type's only: a second type
// of a name is refused naming it ("商品类型 X 已存在").
class TSpTypeFm : public ReferenceListWindow {
    Q_OBJECT
public:
    explicit TSpTypeFm(const LoginContext& login, QWidget* parent = nullptr);

    static inline const QString Ordinary = QStringLiteral("普通");

protected:
    Status beforeSave(Row& row, bool adding) override;
    QString refuseDelete(const Row& current) const override;

private:
    QString m_connection;
};
