#include "sales/TSaleGoodsChoiceFm.h"

#include "ui/DataGrid.h"
#include "ui/Prompt.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TSaleGoodsChoiceFm::TSaleGoodsChoiceFm(const ListQuery& found, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_grid(new DataGrid(this)) {
    setWindowTitle(QStringLiteral("选择商品"));
    m_grid->setObjectName(QStringLiteral("goods"));
    m_grid->setMoneyColumns({QStringLiteral("定价")});
    const QStringList shown = {QStringLiteral("条形码"),   QStringLiteral("商品名称"),
                               QStringLiteral("商品类型"), QStringLiteral("定价"),
                               QStringLiteral("库存"),     QStringLiteral("存放位置")};
    m_grid->setColumnOrder(shown);
    m_grid->setHiddenColumns({QStringLiteral("商品id"), QStringLiteral("py"),
                              QStringLiteral("出版社"), QStringLiteral("作者"),
                              QStringLiteral("介质"), QStringLiteral("简介"),
                              QStringLiteral("状态"), QStringLiteral("主演/导演")});
    if (Status s = m_grid->setQuery(found); !s)
        Prompt::error(this, s.error());

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setAutoDefault(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    resize(640, 360);

    connect(ok, &QPushButton::clicked, this, &TSaleGoodsChoiceFm::choose);
    connect(m_grid, &DataGrid::rowActivated, this, &TSaleGoodsChoiceFm::choose);
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_chosen.clear();
        reject();
    });
}

void TSaleGoodsChoiceFm::choose() {
    if (!m_grid->hasCurrentRow())
        return;
    m_chosen = QString::number(m_grid->integer(QStringLiteral("商品id")));
    accept();
}
