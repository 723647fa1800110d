#include "rental/TRentGoodsChoiceFm.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TRentGoodsChoiceFm::TRentGoodsChoiceFm(const QList<RentalLookup::Copy>& copies, bool more,
                                       QString& chosen, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_chosen(chosen) {
    setWindowTitle(QStringLiteral("选择商品"));
    m_grid = new QTableWidget(int(copies.size()), 6, this);
    m_grid->setHorizontalHeaderLabels({QStringLiteral("条形码"), QStringLiteral("商品名称"),
                                       QStringLiteral("商品类型"), QStringLiteral("定价"),
                                       QStringLiteral("出版社"), QStringLiteral("存放位置")});
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->setVisible(false);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    for (int row = 0; row < copies.size(); ++row) {
        const RentalLookup::Copy& copy = copies[row];
        const QStringList cells{copy.barcode,   copy.name,
                                copy.goodsType, copy.listPrice.toString(),
                                copy.publisher, copy.location};
        for (int column = 0; column < cells.size(); ++column)
            m_grid->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    if (!copies.isEmpty())
        m_grid->selectRow(0);
    m_grid->viewport()->installEventFilter(this);

    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    connect(m_ok, &QPushButton::clicked, this, &TRentGoodsChoiceFm::choose);
    connect(m_cancel, &QPushButton::clicked, this, &TRentGoodsChoiceFm::reject);
    m_more = new QLabel(
        QStringLiteral("只列出了前 %1 个, 请输入更完整的条形码.").arg(copies.size()), this);
    m_more->setVisible(more);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_more);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addLayout(buttons);
    resize(640, 300);
}

void TRentGoodsChoiceFm::choose() {
    const int row = m_grid->currentRow();
    if (row < 0 || !m_grid->item(row, 0))
        return;
    m_chosen = m_grid->item(row, 0)->text();
    accept();
}

void TRentGoodsChoiceFm::reject() {
    m_chosen.clear();
    QDialog::reject();
}

bool TRentGoodsChoiceFm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QModelIndex index = m_grid->indexAt(mouse->position().toPoint());
        if (index.isValid()) {
            m_grid->setCurrentCell(index.row(), 0);
            choose();
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
