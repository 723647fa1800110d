#include "finance/core/RecordQueries.h"

#include "store/Db.h"
#include "store/Schema.h"

#include <QDateTime>

namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

QStringList list(std::initializer_list<const char*> texts) {
    QStringList result;
    for (const char* text : texts)
        result << s(text);
    return result;
}

RecordTextFilter text(const char* caption, const char* column) {
    return {s(caption), s(column)};
}

const QString DateWrong = QStringLiteral("日期条件不符合正常逻辑!");

RecordDateFilter date(const char* caption, const char* column, const QString& message = DateWrong) {
    return {s(caption), s(column), message};
}

RecordQueryConfig config(RecordKind kind, const QString& title, const QString& table) {
    RecordQueryConfig c;
    c.kind = kind;
    c.title = title;
    c.table = table;
    return c;
}

QList<RecordQueryConfig> makeConfigs() {
    using K = RecordKind;
    QList<RecordQueryConfig> all;

    RecordQueryConfig rent = config(K::Rent, s("出租记录"), s("出租记录"));
    rent.texts = {text("出租单号", "出租单号"), text("条形码", "条形码"),
                  text("商品名称", "商品名称"), text("会员卡号", "会员卡号"),
                  text("会员姓名", "会员姓名")};
    rent.dates = {date("出租日期", "出租日期", s("出租日期条件不符合正常逻辑!")),
                  date("归还日期", "归还日期", s("归还日期条件不符合正常逻辑!"))};
    rent.returnedChoice = true;
    rent.columns =
        list({"条形码", "商品名称", "会员卡号", "会员姓名", "出租日期", "出租单号", "应还日期",
              "已还", "每日租金", "出租经手人", "押金", "归还日期", "归还经手人", "实收租金"});
    rent.hidden = list({"py", "id", "天数", "归还说明", "支付方式"});
    rent.money = list({"每日租金", "押金", "实收租金"});
    rent.countColumn = s("出租单号");
    rent.sumColumns = list({"实收租金"});
    all << rent;

    RecordQueryConfig income = config(K::Income, s("收入状况统计"), s("收入记录"));
    income.texts = {text("会员卡号", "会员卡号"), text("会员姓名", "会员姓名"),
                    text("说明", "说明")};
    income.dates = {date("日期", "日期")};
    income.pickersFromYear2000 = false;
    income.columns = list({"项目", "金额", "日期", "会员卡号", "会员姓名", "管理员", "说明", "id"});
    income.money = list({"金额"});
    income.countColumn = s("项目");
    income.sumColumns = list({"金额"});
    all << income;

    RecordQueryConfig sales = config(K::Sales, s("销售记录"), s("销售记录"));
    sales.texts = {text("销售单号", "销售单号"), text("条形码", "条形码"),
                   text("商品名称", "商品名称"), text("会员卡号", "会员卡号"),
                   text("会员姓名", "姓名")};
    sales.dates = {date("日期", "日期")};
    sales.columns = list({"id", "商品id", "条形码", "商品名称", "定价", "销售单价", "数量", "折扣",
                          "合计", "日期", "会员卡号", "姓名", "支付方式", "管理员", "销售单号"});
    sales.money = list({"定价", "销售单价", "折扣", "合计"});
    sales.captions = {{s("id"), s("ID")}};
    sales.countColumn = s("id");
    sales.sumColumns = list({"数量", "合计"});
    all << sales;

    RecordQueryConfig purchases = config(K::Purchases, s("进货记录"), s("进货记录"));
    purchases.texts = {text("管理员", "管理员"), text("条形码", "条形码"),
                       text("商品名称", "商品名称"), text("商品类型", "商品类型"),
                       text("供应商", "供应商")};
    purchases.dates = {date("进货日期", "进货日期")};
    purchases.columns = list({"id", "条形码", "商品名称", "商品类型", "定价", "进货单价",
                              "进货数量", "折扣", "总金额", "进货日期", "供应商", "管理员"});
    purchases.hidden = list({"说明"});
    purchases.money = list({"定价", "进货单价", "折扣", "总金额"});
    purchases.countColumn = s("id");
    purchases.sumColumns = list({"进货数量", "总金额"});
    all << purchases;

    RecordQueryConfig expenses = config(K::Expenses, s("支出统计"), s("支出记录"));
    expenses.texts = {text("会员姓名", "姓名"), text("说明", "说明")};
    expenses.dates = {date("日期", "日期")};
    expenses.pickersFromYear2000 = false;
    expenses.columns = list({"项目", "金额", "日期", "姓名", "管理员", "说明", "id"});
    expenses.money = list({"金额"});
    expenses.countColumn = s("项目");
    expenses.sumColumns = list({"金额"});
    all << expenses;

    RecordQueryConfig refunds = config(K::Refunds, s("退货记录"), s("退货记录"));
    refunds.texts = {text("销售单号", "销售单号"), text("条形码", "条形码"),
                     text("商品名称", "商品名称"), text("会员卡号", "会员卡号"),
                     text("会员姓名", "姓名")};
    refunds.dates = {date("日期", "日期")};
    refunds.columns = list({"id", "商品id", "条形码", "商品名称", "退还金额", "数量", "日期",
                            "会员卡号", "姓名", "退还方式", "管理员", "销售单号"});
    refunds.hidden = list({"销售记录id"});
    refunds.money = list({"退还金额"});
    refunds.captions = {{s("id"), s("ID")}};
    refunds.countColumn = s("id");
    refunds.sumColumns = list({"退还金额"});
    all << refunds;
    return all;
}

QDateTime startOf(const QDate& day) {
    return QDateTime(day, QTime(0, 0));
}

// Records are shown in time order (their first date, then their key): the
// date's index serves a period's first screen without sorting the period.
void inTimeOrder(ListQuery& query, const RecordQueryConfig& config) {
    query.key = Schema::rowKey(config.table);
    if (!config.dates.isEmpty())
        query.order = config.dates.first().column;
}

// The statement a record window opens with.
ListQuery initialStatement(RecordKind kind, const QDate& today, const QString& connectionName) {
    const RecordQueryConfig& config = recordQueryConfig(kind);
    const QString all = QStringLiteral("select * from ") + Db::quoted(config.table);
    switch (kind) {
    case RecordKind::Rent:
        return {
            all + QStringLiteral(" where \"已还\" = ?"), {ReturnedChoices.first()}, connectionName};
    case RecordKind::Income:
    case RecordKind::Expenses:
        return {all + QStringLiteral(" where \"日期\" >= ?"), {startOf(today)}, connectionName};
    default:
        return {all, {}, connectionName};
    }
}

} // namespace

const RecordQueryConfig& recordQueryConfig(RecordKind kind) {
    static const QList<RecordQueryConfig> configs = makeConfigs();
    return configs.at(int(kind));
}

QList<RecordKind> allRecordKinds() {
    using K = RecordKind;
    return {K::Rent, K::Income, K::Sales, K::Purchases, K::Expenses, K::Refunds};
}

void RecordConditions::AddSqlAnd() {
    if (!m_text.isEmpty())
        m_text += QStringLiteral(" and ");
}

void RecordConditions::append(const QString& column, const char* op, const QVariant& value) {
    AddSqlAnd();
    m_text += Db::quoted(column) + QLatin1Char(' ') + QLatin1String(op) + QStringLiteral(" ?");
    m_params << value;
}

void RecordConditions::addEquals(const QString& column, const QString& text) {
    if (!text.isEmpty())
        append(column, "=", text);
}

void RecordConditions::addRequired(const QString& column, const QVariant& value) {
    append(column, "=", value);
}

void RecordConditions::addRange(const QString& column, const DateRange& range) {
    append(column, ">=", startOf(range.from));
    // up to, not including, the start of the end day: two adjacent ranges
    // never both find a row stamped at midnight
    append(column, "<", startOf(range.to));
}

namespace RecordQueries {

ListQuery initialQuery(RecordKind kind, const QDate& today, const QString& connectionName) {
    ListQuery query = initialStatement(kind, today, connectionName);
    inTimeOrder(query, recordQueryConfig(kind));
    return query;
}

Result<std::optional<ListQuery>> searchQuery(RecordKind kind, const RecordFilter& filter,
                                             const QString& connectionName) {
    const RecordQueryConfig& config = recordQueryConfig(kind);
    // Every ticked range is checked before anything is built.
    for (int i = 0; i < config.dates.size(); ++i) {
        const auto range = filter.dates.value(i);
        if (range && range->to < range->from)
            return Error{config.dates.at(i).invalidMessage};
    }
    RecordConditions conditions;
    for (int i = 0; i < config.texts.size(); ++i)
        conditions.addEquals(config.texts.at(i).column, filter.texts.value(i));
    for (int i = 0; i < config.dates.size(); ++i) {
        if (const auto range = filter.dates.value(i))
            conditions.addRange(config.dates.at(i).column, *range);
    }
    if (config.returnedChoice)
        conditions.addRequired(QStringLiteral("已还"), filter.returned);
    if (conditions.isEmpty())
        return std::optional<ListQuery>();
    ListQuery query{QStringLiteral("select * from %1 where %2")
                        .arg(Db::quoted(config.table), conditions.text()),
                    conditions.params(), connectionName};
    inTimeOrder(query, config);
    return std::optional<ListQuery>(query);
}

} // namespace RecordQueries
