#include "store/Permissions.h"

QStringList permissionColumns() {
    static const QStringList names = {
        QStringLiteral("管理员权限设置"),   QStringLiteral("会员类型"),
        QStringLiteral("系统信息"),         QStringLiteral("商品类型"),
        QStringLiteral("清理数据"),         QStringLiteral("收入状况统计"),
        QStringLiteral("管理员日志"),       QStringLiteral("供应商信息"),
        QStringLiteral("供应商货款管理"),   QStringLiteral("销售库库存修改"),
        QStringLiteral("会员库查看"),       QStringLiteral("会员库修改"),
        QStringLiteral("会员库删除"),       QStringLiteral("销售库查看"),
        QStringLiteral("销售库修改"),       QStringLiteral("销售库删除"),
        QStringLiteral("出租库查看"),       QStringLiteral("出租库修改"),
        QStringLiteral("出租库删除"),       QStringLiteral("销售出租互转"),
        QStringLiteral("修改会员卡内金额"), QStringLiteral("顾客退货"),
        QStringLiteral("销售时修改价格"),   QStringLiteral("出租时修改押金"),
        QStringLiteral("归还时修改租金"),
    };
    return names;
}

QString permissionColumn(Permission permission) {
    return permissionColumns().at(static_cast<int>(permission));
}

PermissionFlags PermissionFlags::all() {
    PermissionFlags flags;
    flags.m_flags.fill(true);
    return flags;
}
