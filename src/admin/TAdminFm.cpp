#include "admin/TAdminFm.h"

#include "admin/core/AdminAccounts.h"
#include "ui/TextLimits.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>

namespace {

// The permission boxes, three a line; a caption differs from its column
// only for 系统信息. 供应商信息 and 供应商货款管理 have no box and keep
// what is stored.
const QList<QList<std::pair<QString, QString>>>& permissionLines() {
    static const QList<QList<std::pair<QString, QString>>> lines = {
        {{"管理员权限设置", "管理员权限设置"},
         {"清理数据", "清理数据"},
         {"管理员日志", "管理员日志"}},
        {{"出租库查看", "出租库查看"}, {"出租库删除", "出租库删除"}, {"出租库修改", "出租库修改"}},
        {{"会员库查看", "会员库查看"}, {"会员库删除", "会员库删除"}, {"会员库修改", "会员库修改"}},
        {{"销售库查看", "销售库查看"}, {"销售库删除", "销售库删除"}, {"销售库修改", "销售库修改"}},
        {{"收入状况统计", "收入状况统计"}, {"会员类型", "会员类型"}, {"商品类型", "商品类型"}},
        {{"销售库库存修改", "销售库库存修改"},
         {"系统信息设置", "系统信息"},
         {"销售出租互转", "销售出租互转"}},
        {{"修改会员卡内金额", "修改会员卡内金额"}, {"顾客退货", "顾客退货"}},
        {{"销售时修改价格", "销售时修改价格"},
         {"出租时修改押金", "出租时修改押金"},
         {"归还时修改租金", "归还时修改租金"}},
    };
    return lines;
}

const QString Name = QStringLiteral("AdminName");

} // namespace

TAdminFm::TAdminFm(const LoginContext& login, QWidget* parent)
    : ReferenceListWindow(QStringLiteral("管理员"), parent, Name, login.connectionName),
      m_connection(login.connectionName), m_loggedIn(login.adminName) {
    setWindowTitle(QStringLiteral("管理员权限设置"));
    limitToColumn(addTextField(QStringLiteral("名称"), Name), QStringLiteral("管理员"), Name);
    setRequired(Name, QStringLiteral("请填写名称！"));

    auto* panel = new QGroupBox(QStringLiteral("权限"), this);
    auto* boxes = new QGridLayout(panel);
    const auto& lines = permissionLines();
    for (int line = 0; line < lines.size(); ++line) {
        for (int position = 0; position < lines[line].size(); ++position) {
            const auto& [caption, column] = lines[line][position];
            m_boxes.insert(column, addYesNoField(caption, column, boxes, line, position));
        }
    }
    addPanel(panel);

    // the list shows the names only
    QStringList hidden{QStringLiteral("pwd")};
    hidden << permissionColumns();
    grid()->setHiddenColumns(hidden);
    grid()->setColumnOrder({Name});
    resize(560, 620);
    load();
}

QCheckBox* TAdminFm::permissionBox(const QString& column) const {
    return m_boxes.value(column);
}

void TAdminFm::prepareNewRow(Row& row) {
    row.insert(QStringLiteral("管理员权限设置"), false);
    row.insert(QStringLiteral("会员类型"), true);
    row.insert(QStringLiteral("商品类型"), false);
}

Status TAdminFm::beforeSave(Row& row, bool adding) {
    const QString name = row.value(Name).toString();
    const QString before = adding ? QString() : editedKey().toString();
    auto refused = AdminAccounts::refuseSaving(
        Db(m_connection), before, name, row.value(QStringLiteral("管理员权限设置")).toBool());
    if (!refused)
        return Error{refused.error()};
    if (!refused.value().isEmpty())
        return Error{refused.value()};
    auto taken = AdminAccounts::nameTaken(Db(m_connection), name, before);
    if (!taken)
        return Error{taken.error()};
    if (taken.value())
        return Error{QStringLiteral("管理员\"%1\"已经存在!").arg(name)};
    if (adding) {
        auto initial = AdminAccounts::initialPasswordHash();
        if (!initial)
            return Error{initial.error()};
        row.insert(QStringLiteral("pwd"), initial.value());
    }
    return {};
}

QString TAdminFm::refuseDelete(const Row& current) const {
    auto refused =
        AdminAccounts::refuseDeleting(Db(m_connection), current.value(Name).toString(), m_loggedIn);
    return refused ? refused.value() : refused.error();
}
