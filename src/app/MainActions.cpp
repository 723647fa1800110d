#include "app/MainActions.h"

#include "admin/TAboutFm.h"
#include "admin/TAdminFm.h"
#include "admin/TAdminLogFm.h"
#include "admin/TChangeAdminPwdFm.h"
#include "admin/TCleanDataFm.h"
#include "admin/TSysInfoSetFM.h"
#include "app/TSetDataFm.h"
#include "catalogue/TMediumFm.h"
#include "catalogue/TPlaceFm.h"
#include "catalogue/TProvideComFm.h"
#include "catalogue/TRentKuFm.h"
#include "catalogue/TSpTypeFm.h"
#include "finance/TDataCheckFm.h"
#include "finance/TInComeStatFm.h"
#include "finance/TPayFm.h"
#include "finance/TPurchaseRecordFm.h"
#include "finance/TRefundStatFm.h"
#include "finance/TRentDetailFm.h"
#include "finance/TSaleDetailFm.h"
#include "finance/TShouZhiTypeFm.h"
#include "finance/TZhiChuFm.h"
#include "finance/TZhiChuStatFm.h"
#include "members/THyChongZhiFm.h"
#include "members/THyKuFm.h"
#include "members/THyTypeFm.h"
#include "rental/TRentFm.h"
#include "rental/TReturnFm.h"
#include "sales/TCustomerRefundFm.h"
#include "sales/TSaleFm.h"
#include "sales/TSaleKuFm.h"
#include "tools/TBackupFm.h"
#include "tools/TImportMdbFm.h"
#include "tools/TRestoreFm.h"
#include "ui/Prompt.h"

QString menuCaption(MainMenu menu) {
    switch (menu) {
    case MainMenu::System:
        return QStringLiteral("系统管理");
    case MainMenu::Business:
        return QStringLiteral("基本业务");
    case MainMenu::Reference:
        return QStringLiteral("基本资料设置");
    case MainMenu::Queries:
        return QStringLiteral("查询统计");
    case MainMenu::Stores:
        return QStringLiteral("库管理");
    case MainMenu::Tools:
        return QStringLiteral("工具");
    case MainMenu::Help:
        return QStringLiteral("帮助");
    }
    return {};
}

// clang-format off
const QList<MainAction>& mainActions() {
    using M = MainMenu;
    using P = Permission;
    const std::optional<Permission> open;
    static const QList<MainAction> table = {
        // menu, caption, gate, refusal, opener
        {M::System, QStringLiteral("系统信息设置"), P::SystemInfo, NoRights, openWindow<TSysInfoSetFM>},
        {M::System, QStringLiteral("管理员权限设置"), P::AdminRights, NoRights, openWindow<TAdminFm>},
        {M::System, QStringLiteral("管理员日志"), P::AdminLog, NoRights, openWindow<TAdminLogFm>},
        {M::System, QStringLiteral("管理员密码修改 "), open, {}, openWindow<TChangeAdminPwdFm>},
        {M::System, QStringLiteral("供应商信息"), P::Suppliers, NoRights, openWindow<TProvideComFm>},
        {M::System, QStringLiteral("初始化数据[慎重]"), P::CleanData, NoRights, openWindow<TCleanDataFm>},
        {M::System, QStringLiteral("数据库设置[慎重]"), P::CleanData, NoAdminRights, openWindow<TSetDataFm>},
        {M::System, QStringLiteral("退出"), open, {}, nullptr, MainAction::Kind::Exit},
        {M::Business, QStringLiteral("出租"), open, {}, openWindow<TRentFm>},
        {M::Business, QStringLiteral("归还"), open, {}, openWindow<TReturnFm>},
        {M::Business, QStringLiteral("销售"), open, {}, openWindow<TSaleFm>},
        {M::Business, QStringLiteral("会员充值"), open, {}, openWindow<THyChongZhiFm>},
        {M::Business, QStringLiteral("收费"), open, {}, openWindow<TPayFm>},
        {M::Business, QStringLiteral("支出"), open, {}, openWindow<TZhiChuFm>},
        {M::Business, QStringLiteral("顾客退货"), P::CustomerRefund, NoRights, openWindow<TCustomerRefundFm>},
        {M::Reference, QStringLiteral("存放位置"), open, {}, openWindow<TPlaceFm>},
        {M::Reference, QStringLiteral("会员类型"), P::MemberTypes, NoRights, openWindow<THyTypeFm>},
        {M::Reference, QStringLiteral("商品类型"), P::GoodsTypes, NoRights, openWindow<TSpTypeFm>},
        {M::Reference, QStringLiteral("介质"), open, {}, openWindow<TMediumFm>},
        {M::Reference, QStringLiteral("收支类型"), open, {}, openWindow<TShouZhiTypeFm>},
        {M::Queries, QStringLiteral("出租记录"), open, {}, openWindow<TRentDetailFm>},
        {M::Queries, QStringLiteral("销售记录"), open, {}, openWindow<TSaleDetailFm>},
        {M::Queries, QStringLiteral("进货记录"), open, {}, openWindow<TPurchaseRecordFm>},
        {M::Queries, QStringLiteral("退货记录"), open, {}, openWindow<TRefundStatFm>},
        {M::Queries, QStringLiteral("收入统计"), P::IncomeStatistics, NoRights, openWindow<TInComeStatFm>},
        {M::Queries, QStringLiteral("支出统计"), open, {}, openWindow<TZhiChuStatFm>},
        {M::Queries, QStringLiteral("数据盘点"), open, {}, openWindow<TDataCheckFm>},
        {M::Stores, QStringLiteral("会员库"), P::MemberView, NoRights, openWindow<THyKuFm>},
        {M::Stores, QStringLiteral("出租库"), P::RentView, NoRights, openWindow<TRentKuFm>},
        {M::Stores, QStringLiteral("销售库"), P::SaleView, NoRights, openWindow<TSaleKuFm>},
        {M::Tools, QStringLiteral("备份数据"), P::CleanData, NoRights, openWindow<TBackupFm>},
        {M::Tools, QStringLiteral("恢复数据"), P::CleanData, NoRights, openWindow<TRestoreFm>},
        {M::Tools, QStringLiteral("导入旧数据"), P::CleanData, NoRights, openWindow<TImportMdbFm>},
        {M::Help, QStringLiteral("使用帮助"), open, {}, showHelp},
        {M::Help, QStringLiteral("关于"), open, {}, openWindow<TAboutFm>},
    };
    return table;
}

const QList<ToolButton>& toolButtons() {
    static const QList<ToolButton> buttons = {
        // caption, menu item it runs, picture
        {QStringLiteral("出租"), QStringLiteral("出租"), QStringLiteral("租")},
        {QStringLiteral("归还"), QStringLiteral("归还"), QStringLiteral("还")},
        {QStringLiteral("销售"), QStringLiteral("销售"), QStringLiteral("售")},
        {QStringLiteral("出租库"), QStringLiteral("出租库"), QStringLiteral("册")},
        {QStringLiteral("销售库"), QStringLiteral("销售库"), QStringLiteral("货")},
        {QStringLiteral("会员资料"), QStringLiteral("会员库"), QStringLiteral("员")},
        {QStringLiteral("出租记录"), QStringLiteral("出租记录"), QStringLiteral("录")},
        {QStringLiteral("销售记录"), QStringLiteral("销售记录"), QStringLiteral("账")},
        {QStringLiteral("会员充值"), QStringLiteral("会员充值"), QStringLiteral("充")},
        {QStringLiteral("退出"), QStringLiteral("退出"), QStringLiteral("退")},
    };
    return buttons;
}
// clang-format on

const MainAction* findMainAction(const QString& caption) {
    for (const MainAction& action : mainActions()) {
        if (action.caption == caption)
            return &action;
    }
    return nullptr;
}

void showHelp(QWidget& main, const LoginContext&) {
    Prompt::information(&main, QStringLiteral("暂无使用帮助."));
}
