#include "rental/UnreturnedList.h"

#include "rental/core/RentalLookup.h"
#include "store/Clock.h"
#include "ui/Prompt.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

UnreturnedList::UnreturnedList(const QString& connectionName, const QString& card, QWidget* parent)
    : QDialog(parent), m_connectionName(connectionName), m_card(card) {
    setWindowTitle(QStringLiteral("未还信息"));
    m_grid = new QTableWidget(0, 7, this);
    m_grid->setHorizontalHeaderLabels({QStringLiteral("条形码"), QStringLiteral("商品名称"),
                                       QStringLiteral("出租日期"), QStringLiteral("每日租金"),
                                       QStringLiteral("会员卡号"), QStringLiteral("会员姓名"),
                                       QStringLiteral("出租经手人")});
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->verticalHeader()->setVisible(false);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addLayout(buttons);
    resize(760, 360);
}

void UnreturnedList::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        load();
}

void UnreturnedList::load() {
    auto rents = RentalLookup::openRents(Db(m_connectionName), m_card);
    m_grid->setRowCount(0);
    if (!rents) {
        Prompt::error(this, rents.error());
        return;
    }
    for (const RentalLookup::OpenRent& rent : rents.value()) {
        const int row = m_grid->rowCount();
        m_grid->insertRow(row);
        const QStringList cells{rent.barcode,
                                rent.name,
                                Clock::formatDateTime(rent.rentedAt),
                                rent.dailyRent.toString(),
                                rent.card,
                                rent.memberName,
                                rent.rentedBy};
        for (int column = 0; column < cells.size(); ++column)
            m_grid->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
}
