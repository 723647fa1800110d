#include "catalogue/TSpTypeFm.h"

#include "store/UniqueKeys.h"

TSpTypeFm::TSpTypeFm(const LoginContext& login, QWidget* parent)
    : ReferenceListWindow(QStringLiteral("商品类型"), parent, QStringLiteral("名称"),
                          login.connectionName),
      m_connection(login.connectionName) {
    setWindowTitle(QStringLiteral("商品类型设置"));
    addTextField(QStringLiteral("名称"), QStringLiteral("名称"));
    addMoneyField(QStringLiteral("每日租金"), QStringLiteral("每日租金"));
    addMoneyField(QStringLiteral("押金"), QStringLiteral("押金"));
    for (const char* column : {"名称", "每日租金", "押金"})
        setRequired(QString::fromUtf8(column), QStringLiteral("请填写完整！"));
    setListSelectableWhileEditing(true);
    load();
}

Status TSpTypeFm::beforeSave(Row& row, bool adding) {
    // the name is the key the rent counter finds the rates by: no stray blanks
    const QString name = row.value(QStringLiteral("名称")).toString().trimmed();
    if (name.isEmpty())
        return Error{QStringLiteral("请填写完整！")};
    // renamed, the type that cannot be deleted could be
    if (!adding && editedKey().toString() == Ordinary && name != Ordinary)
        return Error{QStringLiteral("(普通)不能改名！")};
    row.insert(QStringLiteral("名称"), name);
    // the name is unique: a second type of it is refused naming it
    if (!adding && name == editedKey().toString())
        return {};
    return UniqueKeys::refuseTaken(Db(m_connection), QStringLiteral("商品类型"),
                                   QStringLiteral("名称"), name, QStringLiteral("商品类型"));
}

QString TSpTypeFm::refuseDelete(const Row& current) const {
    if (current.value(QStringLiteral("名称")).toString() == Ordinary)
        return QStringLiteral("(普通)不能删除！");
    return {};
}
