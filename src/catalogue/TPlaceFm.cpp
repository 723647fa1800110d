#include "catalogue/TPlaceFm.h"

#include <QSqlQueryModel>

QString refuseDeletingTheLastRow(const ReferenceListWindow& window) {
    QSqlQueryModel* rows = window.grid()->model();
    while (rows->canFetchMore())
        rows->fetchMore();
    if (rows->rowCount() == 1)
        return QStringLiteral("至少留有一个！！");
    return {};
}

TPlaceFm::TPlaceFm(const LoginContext& login, QWidget* parent)
    : ReferenceListWindow(QStringLiteral("存放位置"), parent, {}, login.connectionName) {
    setWindowTitle(QStringLiteral("存放位置名设置"));
    addTextField(QStringLiteral("名称"), QStringLiteral("名称"));
    setRequired(QStringLiteral("名称"), QStringLiteral("请填写完整！"));
    setListSelectableWhileEditing(true);
    load();
}

QString TPlaceFm::refuseDelete(const Row&) const {
    return refuseDeletingTheLastRow(*this);
}
