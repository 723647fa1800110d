#include "finance/TShouZhiTypeFm.h"

#include "finance/core/IncomeExpenseTypes.h"
#include "ui/DataGrid.h"
#include "ui/Prompt.h"
#include "ui/TextLimits.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QVBoxLayout>

TShouZhiTypeFm::TShouZhiTypeFm(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_login(login), m_kind(new QComboBox(this)), m_name(new QLineEdit(this)),
      m_grid(new DataGrid(this)) {
    setWindowTitle(QStringLiteral("收支类型"));
    auto* toolbar = new QToolBar(this);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_add = toolbar->addAction(QStringLiteral("添加"));
    m_delete = toolbar->addAction(QStringLiteral("删除"));
    QAction* close = toolbar->addAction(QStringLiteral("退出"));
    connect(m_add, &QAction::triggered, this, [this] { add(); });
    connect(m_delete, &QAction::triggered, this, [this] { remove(); });
    connect(close, &QAction::triggered, this, &QDialog::reject);

    // Only the two kinds the booking windows list can be chosen.
    m_kind->addItems({IncomeExpenseTypes::Income, IncomeExpenseTypes::Expense});
    m_kind->setCurrentIndex(0);
    limitToColumn(m_name, QStringLiteral("收支类型"), QStringLiteral("名称"));
    auto* fields = new QHBoxLayout;
    fields->addWidget(m_kind);
    fields->addWidget(new QLabel(QStringLiteral("名称"), this));
    fields->addWidget(m_name, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 6);
    layout->addWidget(toolbar);
    layout->addLayout(fields);
    layout->addWidget(m_grid, 1);

    m_grid->setColumnOrder({QStringLiteral("名称"), QStringLiteral("类型")});
    m_grid->setHiddenColumns({QStringLiteral("id")});
    reload();
    resize(360, 420);
}

bool TShouZhiTypeFm::reload() {
    if (Status ran = m_grid->setQuery(IncomeExpenseTypes::listQuery(m_login.connectionName));
        !ran) {
        Prompt::error(this, ran.error());
        return false;
    }
    return true;
}

bool TShouZhiTypeFm::add() {
    const QString name = m_name->text().trimmed();
    if (m_kind->currentText().isEmpty() || name.isEmpty())
        return false;
    auto added = IncomeExpenseTypes::add(Db(m_login.connectionName), m_kind->currentText(), name);
    if (!added) {
        Prompt::error(this, QStringLiteral("错误"));
        return false;
    }
    reload();
    m_grid->locate(QStringLiteral("id"), added.value());
    return true;
}

bool TShouZhiTypeFm::remove() {
    if (!m_grid->hasCurrentRow())
        return false;
    const QString name = m_grid->value(QStringLiteral("名称")).toString();
    if (!Prompt::question(this, QStringLiteral("您是否要删除\" ") + name + u'"'))
        return false;
    const int row = m_grid->currentRow();
    auto removed = IncomeExpenseTypes::remove(Db(m_login.connectionName),
                                              m_grid->integer(QStringLiteral("id")));
    if (!removed) {
        Prompt::error(this, removed.error());
        return false;
    }
    reload();
    m_grid->setCurrentRow(qMin(row, m_grid->loadedRowCount() - 1));
    return removed.value() > 0;
}
