#include "members/THyTypeFm.h"

#include "members/core/MemberTypeRules.h"

THyTypeFm::THyTypeFm(const LoginContext& login, QWidget* parent)
    : ReferenceListWindow(QStringLiteral("会员类型"), parent, QStringLiteral("名称"),
                          login.connectionName) {
    setWindowTitle(QStringLiteral("会员类型设置"));
    addTextField(QStringLiteral("名称"), QStringLiteral("名称"));
    addMoneyField(QStringLiteral("开户费"), QStringLiteral("开户费"));
    addIntegerField(QStringLiteral("可借数量"), QStringLiteral("可借数量"));
    addMoneyField(QStringLiteral("折扣"), QStringLiteral("折扣"));
    addYesNoField(QStringLiteral("有效期限制"), QStringLiteral("有效期限制"));
    addYesNoField(QStringLiteral("归还时租金卡内扣除"), QStringLiteral("归还时租金卡内扣除"));
    addYesNoField(QStringLiteral("免押金"), QStringLiteral("免押金"));
    setRequired(QStringLiteral("名称"));
    const QVariantMap defaults = MemberTypeRules::defaultsOnSave();
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        setDefaultOnSave(it.key(), it.value());

    grid()->setColumnOrder({QStringLiteral("名称"), QStringLiteral("可借数量"),
                            QStringLiteral("折扣"), QStringLiteral("开户费")});
    grid()->setHiddenColumns({QStringLiteral("有效期限制"), QStringLiteral("归还时租金卡内扣除"),
                              QStringLiteral("免押金"), QStringLiteral("免租金")});
    load();
}

void THyTypeFm::prepareNewRow(Row& row) {
    row.insert(MemberTypeRules::newType());
}

QStringList THyTypeFm::lockedColumns(const Row& current) const {
    return MemberTypeRules::lockedColumns(current.value(QStringLiteral("名称")).toString());
}

Status THyTypeFm::beforeSave(Row& row, bool) {
    MemberTypeRules::normalize(row);
    return {};
}

QString THyTypeFm::refuseDelete(const Row& current) const {
    return MemberTypeRules::refuseDelete(current.value(QStringLiteral("名称")).toString());
}
