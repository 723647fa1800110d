#pragma once

#include <QList>
#include <QString>

// The printed lists of the list windows: one column per entry, left to
// right, with its width in 1/96 inch, the title printed in the header band
// and the result column whose value the data band prints.
enum class ReportTemplate {
    RentCatalogue,   // 出租库 (rent catalogue)
    SaleCatalogue,   // 销售库 (sale catalogue)
    Members,         // 会员库 (member list)
    RentRecords,     // 出租记录
    Income,          // 收入记录
    SaleRecords,     // 销售记录
    PurchaseRecords, // 进货记录
    Expenses,        // 支出记录
    Refunds,         // 退货记录
    AdminLog,        // 管理员日志
};

// Barcode label sheets: item labels (商品名称 and the bars of 条形码) and
// member card labels (会员姓名 and the bars of 会员卡号).
enum class LabelKind { Items, MemberCards };

struct ReportColumn {
    QString title;
    QString field;
    int width;
};

struct ListTemplate {
    QString name; // the window's list, shown as the preview's caption
    QList<ReportColumn> columns;
};

const ListTemplate& listTemplate(ReportTemplate which);
QList<ReportTemplate> allListTemplates();

struct LabelTemplate {
    QString name;
    QString textField;    // printed on the text line
    QString barcodeField; // printed as bars
    int textWidth;        // of the text line, 1/96 inch
    int textPointSize;
};

const LabelTemplate& labelTemplate(LabelKind kind);
