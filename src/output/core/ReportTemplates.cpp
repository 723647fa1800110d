#include "output/core/ReportTemplates.h"

#include <QHash>

namespace {

ReportColumn col(const char* title, const char* field, int width) {
    return {QString::fromUtf8(title), QString::fromUtf8(field), width};
}
ReportColumn col(const char* same, int width) {
    return col(same, same, width);
}

const QHash<ReportTemplate, ListTemplate>& templates() {
    using R = ReportTemplate;
    static const QHash<R, ListTemplate> all = {
        {R::RentCatalogue,
         {QStringLiteral("出租库列表"),
          {col("条形码", 96), col("商品名称", 96), col("商品类型", 96), col("存放位置", 96),
           col("定价", 96), col("状态", 96)}}},
        {R::SaleCatalogue,
         {QStringLiteral("销售库列表"),
          {col("条形码", 96), col("商品名称", 160), col("商品类型", 108), col("存放位置", 96),
           col("定价", 96), col("库存", 96)}}},
        {R::Members,
         {QStringLiteral("会员列表"),
          {col("会员卡号", 96), col("会员姓名", 80), col("性别", "会员性别", 32),
           col("会员类型", 128), col("卡内金额", 64), col("积分", "会员积分", 48), col("状态", 44),
           col("联系方式", 240)}}},
        {R::RentRecords,
         {QStringLiteral("出租记录"),
          {col("条形码", 96), col("商品名称", 112), col("会员卡号", 96), col("会员姓名", 70),
           col("出租日期", 96), col("天数", 40), col("收租金", "实收租金", 60), col("押金", 48),
           col("出租单号", 96)}}},
        {R::Income,
         {QStringLiteral("收入记录"),
          {col("id", 80), col("项目", 96), col("金额", 96), col("日期", 172), col("会员卡号", 96),
           col("会员姓名", 96), col("管理员", 96)}}},
        {R::SaleRecords,
         {QStringLiteral("销售记录"),
          {col("条形码", 96), col("商品名称", 112), col("定价", 66), col("销售单价", 78),
           col("折扣", 40), col("数量", 40), col("合计", 68), col("日期", 136),
           col("管理员", 96)}}},
        {R::PurchaseRecords,
         {QStringLiteral("进货记录"),
          {col("条形码", 96), col("商品名称", 112), col("定价", 60), col("数量", "进货数量", 40),
           col("进货单价", 65), col("折扣", 40), col("总金额", 80), col("进货日期", 140),
           col("供应商", 96)}}},
        {R::Expenses,
         {QStringLiteral("支出记录"),
          {col("id", 80), col("项目", 96), col("金额", 96), col("日期", 128), col("说明", 140),
           col("姓名", 96), col("管理员", 96)}}},
        {R::Refunds,
         {QStringLiteral("退货记录"),
          {col("条形码", 96), col("商品名称", 112), col("姓名", 82), col("退还金额", 78),
           col("数量", 44), col("退还方式", 88), col("日期", 136), col("管理员", 96)}}},
        {R::AdminLog,
         {QStringLiteral("管理员日志"),
          {col("id", 96), col("事件", 140), col("日期", 168), col("管理员", 124),
           col("说明", 200)}}},
    };
    return all;
}

} // namespace

const ListTemplate& listTemplate(ReportTemplate which) {
    return *templates().find(which);
}

QList<ReportTemplate> allListTemplates() {
    using R = ReportTemplate;
    return {R::RentCatalogue, R::SaleCatalogue,   R::Members,  R::RentRecords, R::Income,
            R::SaleRecords,   R::PurchaseRecords, R::Expenses, R::Refunds,     R::AdminLog};
}

const LabelTemplate& labelTemplate(LabelKind kind) {
    static const LabelTemplate items{QStringLiteral("商品条码"), QStringLiteral("商品名称"),
                                     QStringLiteral("条形码"), 152, 9};
    static const LabelTemplate cards{QStringLiteral("会员卡条码"), QStringLiteral("会员姓名"),
                                     QStringLiteral("会员卡号"), 132, 10};
    return kind == LabelKind::Items ? items : cards;
}
