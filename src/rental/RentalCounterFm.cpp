#include "rental/RentalCounterFm.h"

#include "ui/Prompt.h"

#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

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

QTableView* RentalCounterFm::makeLines(CounterLines* model) {
    m_model = model;
    m_list = new QTableView(this);
    m_list->setModel(model);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->verticalHeader()->setVisible(false);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->viewport()->installEventFilter(this);
    return m_list;
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
        if (m_list && watched == m_list->viewport()) {
            editLineAmount();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void RentalCounterFm::selectBarcodeEntry() {
    m_barcodeEntry->setFocus();
    m_barcodeEntry->selectAll();
}

int RentalCounterFm::selectedRow() const {
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

std::optional<CounterMember> RentalCounterFm::lookUpMember(const Db& database) {
    auto found = CounterMembers::find(database, m_cardEntry->text());
    if (!found) {
        Prompt::error(this, found.error());
        return std::nullopt;
    }
    if (!found.value()) {
        showWalkIn();
        Prompt::information(this, CounterMembers::UnknownCard);
        m_cardEntry->setFocus();
        m_cardEntry->selectAll();
        return std::nullopt;
    }
    const CounterMember& shown = *found.value();
    m_name->setText(shown.member.name);
    m_type->setText(shown.member.type);
    m_balance->setText(shown.member.balance.toString());
    m_unreturned->setText(QString::number(shown.openRents));
    return shown;
}

void RentalCounterFm::editAmount(Permission permission, const std::function<void(int)>& edit) {
    if (m_model->isEmpty())
        return;
    if (!m_login.may(permission)) {
        Prompt::information(this, QStringLiteral("没有修改权限!"));
        return;
    }
    const int row = selectedRow();
    if (row < 0)
        return;
    edit(row);
    CountPrice();
}

void RentalCounterFm::removeLine() {
    const int row = selectedRow();
    if (m_model->isEmpty() || row < 0)
        return;
    const QString question = QStringLiteral("您是否要删除\" ") + m_model->barcodeAt(row) +
                             QStringLiteral("\",\"") + m_model->nameAt(row) + QStringLiteral("\"");
    if (!Prompt::question(this, question))
        return;
    m_model->removeLine(row);
    CountPrice();
}

void RentalCounterFm::reject() {
    if (m_model && !m_model->isEmpty() &&
        !Prompt::question(this, QStringLiteral("还有未结算的商品, 确定要关闭吗?")))
        return;
    QDialog::reject();
}
