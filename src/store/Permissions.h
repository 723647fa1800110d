#pragma once

#include <QString>
#include <QStringList>
#include <array>

// The 25 permission columns of 管理员, in the order they are read at login.
enum class Permission {
    AdminRights,       // 管理员权限设置
    MemberTypes,       // 会员类型
    SystemInfo,        // 系统信息
    GoodsTypes,        // 商品类型
    CleanData,         // 清理数据
    IncomeStatistics,  // 收入状况统计
    AdminLog,          // 管理员日志
    Suppliers,         // 供应商信息
    SupplierPayments,  // 供应商货款管理
    SaleStockEdit,     // 销售库库存修改
    MemberView,        // 会员库查看
    MemberEdit,        // 会员库修改
    MemberDelete,      // 会员库删除
    SaleView,          // 销售库查看
    SaleEdit,          // 销售库修改
    SaleDelete,        // 销售库删除
    RentView,          // 出租库查看
    RentEdit,          // 出租库修改
    RentDelete,        // 出租库删除
    CatalogueTransfer, // 销售出租互转
    MemberBalanceEdit, // 修改会员卡内金额
    CustomerRefund,    // 顾客退货
    SalePriceEdit,     // 销售时修改价格
    RentDepositEdit,   // 出租时修改押金
    ReturnRentEdit,    // 归还时修改租金
};

inline constexpr int PermissionCount = 25;

// Column name of a permission in 管理员.
QString permissionColumn(Permission permission);
QStringList permissionColumns();

// One yes/no per permission, all no until login reads them.
class PermissionFlags {
public:
    bool has(Permission p) const { return m_flags[static_cast<std::size_t>(p)]; }
    void set(Permission p, bool allowed) { m_flags[static_cast<std::size_t>(p)] = allowed; }
    static PermissionFlags all();

private:
    std::array<bool, PermissionCount> m_flags{};
};
