#include "rental/RentalCounterFm.h"

#include "ui/Prompt.h"

#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

RentalCounterFm::RentalCounterFm(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_login(login) {}

QLineEdit* RentalCounterFm::readOnlyBox() {
    auto* box = new QLineEdit(this);
    box->setReadOnly(true);
    return box;
}

QLineEdit* RentalCounterFm::makeUnreturnedBox() {
    m_unreturned = readOnlyBox();
    m_unreturned->setToolTip(QStringLiteral("双击查看未还信息"));
    m_unreturned->installEventFilter(this);
    return m_unreturned;
}

QTableWidget* RentalCounterFm::makeLines(const QStringList& headers) {
    m_lines = new QTableWidget(0, int(headers.size()), this);
    m_lines->setHorizontalHeaderLabels(headers);
    m_lines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lines->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lines->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lines->verticalHeader()->setVisible(false);
    m_lines->horizontalHeader()->setStretchLastSection(true);
    m_lines->viewport()->installEventFilter(this);
    return m_lines;
}

QPushButton* RentalCounterFm::button(const QString& caption) {
    auto* b = new QPushButton(caption, this);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

void RentalCounterFm::makeRemoveAndClose() {
    m_removeButton = button(QStringLiteral("取消"));
    m_closeButton = button(QStringLiteral("关闭"));
    connect(m_removeButton, &QPushButton::clicked, this, &RentalCounterFm::removeLine);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool RentalCounterFm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == m_unreturned) {
            showUnreturned();
            return true;
        }
        if (m_lines && watched == m_lines->viewport()) {
            editLineAmount();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString RentalCounterFm::cell(int row, int column) const {
    const QTableWidgetItem* item = m_lines->item(row, column);
    return item ? item->text() : QString();
}

int RentalCounterFm::appendLine(const QStringList& cells) {
    const int row = m_lines->rowCount();
    m_lines->insertRow(row);
    for (int column = 0; column < cells.size(); ++column)
        m_lines->setItem(row, column, new QTableWidgetItem(cells[column]));
    return row;
}

void RentalCounterFm::selectBarcodeEntry() {
    m_barcodeEntry->setFocus();
    m_barcodeEntry->selectAll();
}

std::optional<Member> RentalCounterFm::lookUpMember(const Db& database) {
    auto found = MemberLookup::member(database, m_cardEntry->text().trimmed());
    if (!found) {
        Prompt::error(this, found.error());
        return std::nullopt;
    }
    if (!found.value()) {
        showWalkIn();
        Prompt::information(this, QStringLiteral("没有找到这个卡号的会员资料,请检查卡号是否正确!"));
        m_cardEntry->setFocus();
        m_cardEntry->selectAll();
        return std::nullopt;
    }
    const Member& member = *found.value();
    m_name->setText(member.name);
    m_type->setText(member.type);
    m_balance->setText(member.balance.toString());
    return member;
}

void RentalCounterFm::editAmount(Permission permission, int column,
                                 const std::function<void(QString&)>& edit) {
    if (m_lines->rowCount() == 0)
        return;
    if (!m_login.may(permission)) {
        Prompt::information(this, QStringLiteral("没有修改权限!"));
        return;
    }
    const int row = m_lines->currentRow();
    if (row < 0 || !m_lines->item(row, column) || !m_lines->item(row, column)->isSelected())
        return;
    QString amount = cell(row, column);
    edit(amount);
    m_lines->item(row, column)->setText(amount);
    CountPrice();
}

void RentalCounterFm::removeLine() {
    const int row = m_lines->currentRow();
    if (m_lines->rowCount() == 0 || row < 0 || m_lines->selectedItems().isEmpty())
        return;
    const QString question = QStringLiteral("您是否要删除\" ") + cell(row, BarcodeColumn) +
                             QStringLiteral("\",\"") + cell(row, NameColumn) + QStringLiteral("\"");
    if (!Prompt::question(this, question))
        return;
    m_lines->removeRow(row);
    CountPrice();
}

void RentalCounterFm::reject() {
    if (m_lines && m_lines->rowCount() > 0 &&
        !Prompt::question(this, QStringLiteral("还有未结算的商品, 确定要关闭吗?")))
        return;
    QDialog::reject();
}
