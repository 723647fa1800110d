#include "members/THyTypeFm.h"

#include "members/MemberTypeBooking.h"
#include "store/Money.h"

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
    setDefaultOnSave(QStringLiteral("可借数量"), qint64(999));
    setDefaultOnSave(QStringLiteral("折扣"), QVariant::fromValue(Money::fromInt(1)));
    setDefaultOnSave(QStringLiteral("开户费"), QVariant::fromValue(Money()));

    grid()->setColumnOrder({QStringLiteral("名称"), QStringLiteral("可借数量"),
                            QStringLiteral("折扣"), QStringLiteral("开户费")});
    grid()->setHiddenColumns({QStringLiteral("有效期限制"), QStringLiteral("归还时租金卡内扣除"),
                              QStringLiteral("免押金"), QStringLiteral("免租金")});
    load();
}

void THyTypeFm::prepareNewRow(Row& row) {
    // A new type takes rent from the card at return; the box shows what is
    // stored.
    row.insert(QStringLiteral("有效期限制"), false);
    row.insert(QStringLiteral("归还时租金卡内扣除"), true);
    row.insert(QStringLiteral("免押金"), false);
    row.insert(QStringLiteral("免租金"), false);
}

QStringList THyTypeFm::lockedColumns(const Row& current) const {
    if (current.value(QStringLiteral("名称")).toString() == MemberTypeBooking::WalkIn)
        return {QStringLiteral("名称")};
    return {};
}

Status THyTypeFm::beforeSave(Row& row, bool) {
    // the name is the key the counters look the type up by: no stray blanks
    row.insert(QStringLiteral("名称"), row.value(QStringLiteral("名称")).toString().trimmed());
    return {};
}

QString THyTypeFm::refuseDelete(const Row& current) const {
    if (current.value(QStringLiteral("名称")).toString() == MemberTypeBooking::WalkIn)
        return QStringLiteral("散客类型不能删除!");
    return {};
}
