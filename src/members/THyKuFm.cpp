#include "members/THyKuFm.h"

#include "members/THyAddFm.h"
#include "members/THyEditFm.h"
#include "members/core/MemberBookings.h"
#include "output/ListOutput.h"
#include "ui/Prompt.h"

#include <QAction>

THyKuFm::THyKuFm(const LoginContext& login, QWidget* parent)
    : ListWindow(QStringLiteral("会员库"), parent, login.connectionName), m_login(login) {
    setWindowTitle(QStringLiteral("会员资料"));
    connect(addTool(QStringLiteral("添加")), &QAction::triggered, this, &THyKuFm::add);
    connect(addTool(QStringLiteral("修改")), &QAction::triggered, this, &THyKuFm::modify);
    connect(addTool(QStringLiteral("删除")), &QAction::triggered, this, &THyKuFm::remove);
    addShowAllTool();
    connect(addTool(QStringLiteral("EXCEL")), &QAction::triggered, this, &THyKuFm::exportToExcel);
    connect(addTool(QStringLiteral("打印")), &QAction::triggered, this, &THyKuFm::print);
    connect(addTool(QStringLiteral("打印条码")), &QAction::triggered, this, &THyKuFm::printLabels);
    addCloseTool();

    setSearchFields({QStringLiteral("会员卡号"), QStringLiteral("会员姓名"),
                     QStringLiteral("联系方式"), QStringLiteral("住址")},
                    QStringLiteral("会员姓名"));
    DataGrid* list = grid();
    list->setMoneyColumns({QStringLiteral("卡内金额"), QStringLiteral("会员积分")});
    list->setColumnOrder(
        {QStringLiteral("会员卡号"), QStringLiteral("会员姓名"), QStringLiteral("会员类型"),
         QStringLiteral("会员性别"), QStringLiteral("卡内金额"), QStringLiteral("会员积分"),
         QStringLiteral("登记日期"), QStringLiteral("证件号码"), QStringLiteral("联系方式"),
         QStringLiteral("住址"), QStringLiteral("状态")});
    list->setHiddenColumns({QStringLiteral("单位部门"), QStringLiteral("密码"),
                            QStringLiteral("备注"), QStringLiteral("登记人"),
                            QStringLiteral("有效期"), QStringLiteral("相片"),
                            QStringLiteral("出生日期")});
    list->setCaption(QStringLiteral("会员性别"), QStringLiteral("性别"));
    list->setFooter(QStringLiteral("会员卡号"), {QStringLiteral("卡内金额")});
    connect(list, &DataGrid::rowActivated, this, &THyKuFm::modify);
    showAll();
}

THyKuFm::~THyKuFm() = default;

void THyKuFm::add() {
    m_add.open([this] {
        auto* add = new THyAddFm(m_login, this);
        // new members show in the list at once
        connect(add, &THyAddFm::memberAdded, this, [this](const QString& card) {
            refresh();
            grid()->locate(QStringLiteral("会员卡号"), card);
        });
        return add;
    });
}

void THyKuFm::modify() {
    if (!permitted(m_login.may(Permission::MemberEdit)))
        return;
    if (!requireCurrentRow(QStringLiteral("没有可修改的会员!")))
        return;
    const QString card = grid()->value(QStringLiteral("会员卡号")).toString();
    auto member = MemberLookup::member(Db(m_login.connectionName), card);
    if (!member) {
        Prompt::error(this, member.error());
        return;
    }
    if (!member.value()) {
        Prompt::warning(this, QStringLiteral("该会员已被删除!"));
        refresh();
        return;
    }
    QString shownCard = card;
    m_edit.open([&] {
        auto* edit = new THyEditFm(m_login, *member.value(), this);
        connect(edit, &QDialog::finished, this, [&shownCard, edit](int result) {
            shownCard = result == QDialog::Accepted ? edit->edited().card : edit->asRead().card;
        });
        return edit;
    });
    // saved, corrected or dropped: show the row as it now stands
    refresh();
    grid()->locate(QStringLiteral("会员卡号"), shownCard);
}

void THyKuFm::remove() {
    if (!permitted(m_login.may(Permission::MemberDelete)))
        return;
    if (!requireCurrentRow(QStringLiteral("没有可删除的会员!")))
        return;
    const QString name = grid()->text(QStringLiteral("会员姓名"));
    if (!Prompt::question(this, QStringLiteral("您是否要删除\" %1\"").arg(name)))
        return;
    const int row = grid()->currentRow();
    if (Status removed = MemberBookings::remove(
            Db(m_login.connectionName), grid()->value(QStringLiteral("会员卡号")).toString());
        !removed) {
        Prompt::information(this, QStringLiteral("系统出错"), QStringLiteral("提示"));
        return;
    }
    refresh();
    grid()->setCurrentRow(qMin(row, grid()->loadedRowCount() - 1));
    Prompt::information(this, QStringLiteral("删除成功"), QStringLiteral("提示"));
}

void THyKuFm::exportToExcel() {
    ListOutput::exportToExcel(this, currentQuery(), QStringLiteral("会员资料"));
}

void THyKuFm::print() {
    ListOutput::printList(this, ReportTemplate::Members, currentQuery());
}

void THyKuFm::printLabels() {
    ListOutput::printLabels(this, LabelKind::MemberCards, currentQuery());
}
