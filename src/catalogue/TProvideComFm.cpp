#include "catalogue/TProvideComFm.h"

#include "store/Money.h"

TProvideComFm::TProvideComFm(const LoginContext& login, QWidget* parent)
    : ReferenceListWindow(QStringLiteral("供应商"), parent, {}, login.connectionName) {
    setWindowTitle(QStringLiteral("供应商信息"));
    addTextField(QStringLiteral("名称"), QStringLiteral("名称"));
    addTextField(QStringLiteral("地址"), QStringLiteral("地址"));
    addTextField(QStringLiteral("联系人"), QStringLiteral("联系人"));
    addTextField(QStringLiteral("联系方式"), QStringLiteral("联系方式"));
    addMoneyField(QStringLiteral("所欠货款"), QStringLiteral("所欠货款"));
    setRequired(QStringLiteral("名称"), QStringLiteral("请填写名称！"));
    setDefaultOnSave(QStringLiteral("所欠货款"), QVariant::fromValue(Money()));
    grid()->setColumnOrder({QStringLiteral("名称"), QStringLiteral("联系方式"),
                            QStringLiteral("联系人"), QStringLiteral("所欠货款")});
    grid()->setHiddenColumns({QStringLiteral("地址")});
    load();
}
