#include "catalogue/TMediumFm.h"

#include "catalogue/TPlaceFm.h"

TMediumFm::TMediumFm(const LoginContext& login, QWidget* parent)
    : ReferenceListWindow(QStringLiteral("介质"), parent, {}, login.connectionName) {
    setWindowTitle(QStringLiteral("介质"));
    addTextField(QStringLiteral("名称"), QStringLiteral("名称"));
    setRequired(QStringLiteral("名称"), QStringLiteral("请填写完整！"));
    setListSelectableWhileEditing(true);
    load();
}

QString TMediumFm::refuseDelete(const Row&) const {
    return refuseDeletingTheLastRow(*this);
}
