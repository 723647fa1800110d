#include "admin/TAdminLogFm.h"

#include "admin/core/AdminLogBook.h"
#include "output/ListOutput.h"
#include "ui/Prompt.h"

#include <QAction>
#include <QTableView>

TAdminLogFm::TAdminLogFm(const LoginContext& login, QWidget* parent)
    : ListWindow(AdminLogBook::Table, parent, login.connectionName),
      m_connection(login.connectionName) {
    setWindowTitle(QStringLiteral("管理员日志"));
    hideSearch();
    connect(addTool(QStringLiteral("删除当前")), &QAction::triggered, this,
            &TAdminLogFm::deleteCurrent);
    connect(addTool(QStringLiteral("全部删除")), &QAction::triggered, this,
            &TAdminLogFm::deleteAll);
    connect(addTool(QStringLiteral("导出Excel")), &QAction::triggered, this,
            [this] { ListOutput::exportToExcel(this, currentQuery(), table()); });
    connect(addTool(QStringLiteral("打印")), &QAction::triggered, this,
            [this] { ListOutput::printList(this, ReportTemplate::AdminLog, currentQuery()); });
    addCloseTool();
    grid()->setColumnOrder({QStringLiteral("id"), QStringLiteral("事件"), QStringLiteral("日期"),
                            QStringLiteral("管理员"), QStringLiteral("说明")});
    grid()->setFooter(QStringLiteral("id"));
    resize(760, 480);
    // events and dates are long: show them whole
    auto fit = [this] { grid()->view()->resizeColumnsToContents(); };
    connect(grid()->model(), &QAbstractItemModel::modelReset, this, fit);
    runQuery(AdminLogBook::listQuery(m_connection));
    fit();
}

void TAdminLogFm::deleteCurrent() {
    // nothing to delete in an empty list: no message
    removeCurrentRow({}, QStringLiteral("您是否要删除"), [this] {
        return AdminLogBook::deleteEntry(Db(m_connection), grid()->integer(QStringLiteral("id")));
    });
}

void TAdminLogFm::deleteAll() {
    if (!Prompt::question(this, QStringLiteral("您是否要全部删除")))
        return;
    if (Status deleted = AdminLogBook::deleteAll(Db(m_connection)); !deleted) {
        Prompt::error(this, deleted.error());
        return;
    }
    refresh();
    Prompt::information(this, QStringLiteral("删除完毕!"));
}
