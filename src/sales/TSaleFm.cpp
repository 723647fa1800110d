#include "sales/TSaleFm.h"

#include "customers/CounterMember.h"
#include "sales/TSaleGoodsChoiceFm.h"
#include "sales/TSalePriceXiuGaiFm.h"
#include "sales/core/SaleBooking.h"
#include "sales/core/SaleLookup.h"
#include "store/Clock.h"
#include "store/OrderNumbers.h"
#include "ui/BookingFailure.h"
#include "ui/Fonts.h"
#include "ui/NumberEdit.h"
#include "ui/Prompt.h"
#include "ui/TextLimits.h"
#include "ui/WindowSlot.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QLabel* bandValue(const QString& objectName, QWidget* parent) {
    auto* label = new QLabel(QStringLiteral("0"), parent);
    label->setObjectName(objectName);
    QFont font = Fonts::cjkFont(20);
    font.setBold(true);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: #c00000;"));
    label->setMinimumWidth(150);
    return label;
}

QLabel* bandCaption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(Fonts::cjkFont(14));
    return label;
}

QLineEdit* readOnlyBox(const QString& objectName, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(objectName);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    return box;
}

} // namespace

TSaleFm::TSaleFm(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_login(login), m_db(login.connectionName), m_memberCard(WalkIn),
      m_totalLabel(bandValue(QStringLiteral("total"), this)),
      m_countLabel(bandValue(QStringLiteral("lineCount"), this)),
      m_orderLabel(bandValue(QStringLiteral("orderNumber"), this)), m_barcode(new QLineEdit(this)),
      m_quantity(new NumberEdit(NumberEdit::Kind::Digits, this)),
      m_discount(new NumberEdit(NumberEdit::Kind::Decimal, this)), m_card(new QLineEdit(this)),
      m_name(readOnlyBox(QStringLiteral("name"), this)),
      m_type(readOnlyBox(QStringLiteral("type"), this)),
      m_balance(readOnlyBox(QStringLiteral("balance"), this)),
      m_unreturned(readOnlyBox(QStringLiteral("unreturned"), this)),
      m_lines(new SaleLinesModel(this)), m_list(new QTableView(this)),
      m_payment(new QComboBox(this)), m_sell(new QPushButton(QStringLiteral("销售"), this)),
      m_remove(new QPushButton(QStringLiteral("取消"), this)),
      m_close(new QPushButton(QStringLiteral("关闭"), this)) {
    setWindowTitle(QStringLiteral("销售"));
    m_barcode->setObjectName(QStringLiteral("barcode"));
    m_quantity->setObjectName(QStringLiteral("quantity"));
    m_quantity->setFieldName(QStringLiteral("数量"));
    m_discount->setObjectName(QStringLiteral("discount"));
    m_discount->setFieldName(QStringLiteral("折扣"));
    m_card->setObjectName(QStringLiteral("card"));
    limitToColumn(m_card, QStringLiteral("会员库"), QStringLiteral("会员卡号"));
    limitToColumn(m_barcode, QStringLiteral("销售库"), QStringLiteral("条形码"));
    m_list->setObjectName(QStringLiteral("lines"));
    m_payment->setObjectName(QStringLiteral("payment"));
    // only its two entries: any other text would book neither income nor a
    // deduction
    m_payment->setEditable(false);
    m_payment->setMinimumWidth(150);

    // Enter belongs to the boxes: no button takes it.
    for (QPushButton* button : {m_sell, m_remove, m_close}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setMinimumWidth(80);
    }

    m_list->setModel(m_lines);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->horizontalHeader()->setSectionResizeMode(SaleLinesModel::Name, QHeaderView::Stretch);
    m_list->horizontalHeader()->setMinimumSectionSize(60);

    auto* band = new QHBoxLayout;
    band->addWidget(bandCaption(QStringLiteral("合计:"), this));
    band->addWidget(m_totalLabel);
    band->addSpacing(20);
    band->addWidget(bandCaption(QStringLiteral("数量:"), this));
    band->addWidget(m_countLabel);
    band->addSpacing(20);
    band->addWidget(bandCaption(QStringLiteral("单据号:"), this));
    band->addWidget(m_orderLabel);
    band->addStretch();

    auto* entry = new QGridLayout;
    auto caption = [this](const QString& text) { return new QLabel(text, this); };
    entry->addWidget(caption(QStringLiteral("条形码   : [F2]")), 0, 0);
    entry->addWidget(m_barcode, 0, 1, 1, 3);
    entry->addWidget(caption(QStringLiteral("数量")), 0, 4);
    entry->addWidget(m_quantity, 0, 5);
    entry->addWidget(caption(QStringLiteral("折扣")), 0, 6);
    entry->addWidget(m_discount, 0, 7);
    entry->addWidget(caption(QStringLiteral("会员卡号:  [F3]")), 1, 0);
    entry->addWidget(m_card, 1, 1);
    entry->addWidget(caption(QStringLiteral("姓名")), 1, 2);
    entry->addWidget(m_name, 1, 3);
    entry->addWidget(caption(QStringLiteral("类型")), 1, 4);
    entry->addWidget(m_type, 1, 5);
    entry->addWidget(caption(QStringLiteral("卡内金额")), 1, 6);
    entry->addWidget(m_balance, 1, 7);
    entry->addWidget(caption(QStringLiteral("未还数量")), 1, 8);
    entry->addWidget(m_unreturned, 1, 9);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(caption(QStringLiteral("支付方式:")));
    bottom->addWidget(m_payment);
    bottom->addStretch();
    bottom->addWidget(m_sell);
    bottom->addWidget(m_remove);
    bottom->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(band);
    layout->addLayout(entry);
    layout->addWidget(m_list, 1);
    layout->addLayout(bottom);
    resize(860, 520);

    connect(m_barcode, &QLineEdit::returnPressed, this, &TSaleFm::SpFind);
    connect(m_card, &QLineEdit::returnPressed, this, &TSaleFm::findMember);
    connect(m_list, &QTableView::doubleClicked, this, &TSaleFm::editLineTotal);
    connect(m_sell, &QPushButton::clicked, this, &TSaleFm::book);
    connect(m_remove, &QPushButton::clicked, this, &TSaleFm::removeLine);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

void TSaleFm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    IniData();
    SaleDanHao();
    m_payment->clear();
    m_payment->addItems({PayCash, PayFromCard});
    m_payment->setCurrentText(PayCash);
}

void TSaleFm::reject() {
    if (m_lines->rowCount() > 0 &&
        !Prompt::question(this, QStringLiteral("还有未结算的商品, 确定要关闭吗?")))
        return;
    QDialog::reject();
}

void TSaleFm::IniData() {
    m_totalLabel->setText(QStringLiteral("0"));
    m_countLabel->setText(QStringLiteral("0"));
    m_quantity->setText(QStringLiteral("1"));
    m_card->clear();
    showWalkIn();
    m_barcode->clear();
    m_barcode->setFocus();
}

void TSaleFm::showWalkIn() {
    m_discount->setText(QStringLiteral("1"));
    m_memberCard = WalkIn;
    m_name->setText(WalkIn);
    m_type->setText(WalkIn);
    m_balance->setText(QStringLiteral("0"));
    m_unreturned->setText(QStringLiteral("0"));
    m_lines->clear();
    CountPrice();
}

void TSaleFm::SaleDanHao() {
    auto next = OrderNumbers::peekNext(m_db, OrderNumbers::Kind::Sale);
    if (!next) {
        Prompt::error(this, next.error());
        return;
    }
    m_orderLabel->setText(QString::number(next.value()));
}

void TSaleFm::findMember() {
    auto member = CounterMembers::find(m_db, m_card->text());
    if (!member) {
        Prompt::error(this, member.error());
        return;
    }
    if (!member.value()) {
        // no earlier member stays in effect: the lines would be priced and
        // paid for them
        showWalkIn();
        Prompt::information(this, CounterMembers::UnknownCard);
        m_card->setFocus();
        m_card->selectAll();
        return;
    }
    const CounterMember& found = *member.value();
    m_memberCard = found.member.card;
    m_name->setText(found.member.name);
    m_type->setText(found.member.type);
    m_balance->setText(found.member.balance.toString());
    m_unreturned->setText(QString::number(found.openRents));
    if (!found.terms) {
        Prompt::information(this, CounterMembers::UnknownType);
        return;
    }
    m_discount->setText(found.terms->discount.toString());
    if (found.expired(Clock::now()))
        Prompt::warning(this, CounterMembers::Expired);

    m_lines->clear();
    CountPrice();
    m_barcode->setFocus();
}

std::optional<qint64> TSaleFm::quantity() {
    const Result<qint64> value =
        m_quantity->integer(SalePricing::quantityField(QStringLiteral("数量")));
    if (!value) {
        Prompt::warning(this, value.error());
        m_quantity->selectAll();
        m_quantity->setFocus();
        return std::nullopt;
    }
    return value.value();
}

std::optional<Money> TSaleFm::discount() {
    const Result<Money> value = m_discount->money();
    if (!value) {
        Prompt::warning(this, value.error());
        m_discount->selectAll();
        m_discount->setFocus();
        return std::nullopt;
    }
    return value.value();
}

void TSaleFm::SpFind() {
    if (m_quantity->text().isEmpty()) {
        Prompt::information(this, QStringLiteral("请输入数量!"));
        m_quantity->setFocus();
        return;
    }
    const std::optional<qint64> typedQuantity = quantity();
    if (!typedQuantity)
        return;
    const qint64 count = std::max<qint64>(*typedQuantity, 1);
    if (*typedQuantity < 1)
        m_quantity->setText(QStringLiteral("1"));
    if (m_discount->text().isEmpty())
        m_discount->setText(QStringLiteral("1"));
    const std::optional<Money> typedDiscount = discount();
    if (!typedDiscount)
        return;

    const QString fragment = m_barcode->text().trimmed();
    auto found = SaleLookup::itemsInStock(m_db, fragment, 2);
    if (!found) {
        Prompt::error(this, found.error());
        return;
    }
    const QList<qint64>& ids = found.value();
    if (ids.isEmpty()) {
        Prompt::information(this, QStringLiteral("没有找到该商品信息,请检查输入的信息是否正确!"));
        m_barcode->selectAll();
        return;
    }
    qint64 itemId = ids.first();
    if (ids.size() > 1) {
        WindowSlot<TSaleGoodsChoiceFm> choice;
        QString chosen;
        const ListQuery all = SaleLookup::itemsInStockList(fragment, m_login.connectionName);
        choice.open([&] {
            auto* fm = new TSaleGoodsChoiceFm(all, this);
            connect(fm, &QDialog::finished, this, [fm, &chosen] { chosen = fm->chosenItemId(); });
            return fm;
        });
        if (chosen.isEmpty())
            return;
        itemId = chosen.toLongLong();
    }

    auto item = SaleLookup::item(m_db, itemId);
    if (!item) {
        Prompt::error(this, item.error());
        return;
    }
    if (!item.value())
        return;
    const SaleLookup::Item& chosenItem = *item.value();
    m_lines->append(SalePricing::makeLine(chosenItem.barcode, chosenItem.name, chosenItem.listPrice,
                                          count, *typedDiscount, itemId));
    CountPrice();
    m_barcode->setFocus();
    m_barcode->selectAll();
}

void TSaleFm::CountPrice() {
    m_total = m_lines->recount();
    m_totalLabel->setText(m_total.toString());
    m_countLabel->setText(QString::number(m_lines->rowCount()));
}

int TSaleFm::selectedRow() const {
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TSaleFm::editLineTotal() {
    if (m_lines->rowCount() == 0)
        return;
    if (!m_login.may(Permission::SalePriceEdit)) {
        Prompt::information(this, QStringLiteral("没有修改权限!"));
        return;
    }
    const int row = selectedRow();
    if (row < 0)
        return;
    WindowSlot<TSalePriceXiuGaiFm> price;
    price.open([&] { return new TSalePriceXiuGaiFm(m_lines->line(row), this); });
    CountPrice();
}

void TSaleFm::removeLine() {
    const int row = selectedRow();
    if (row < 0)
        return;
    const SaleLine& line = m_lines->lines().at(row);
    const QString question =
        QStringLiteral("您是否要删除\" %1\",\"%2\"").arg(line.barcode, line.name);
    if (!Prompt::question(this, question))
        return;
    m_lines->removeLine(row);
    CountPrice();
}

void TSaleFm::book() {
    if (m_lines->rowCount() == 0)
        return;
    if (!Prompt::question(this, QStringLiteral("您确定要销售这些商品? ")))
        return;
    SaleOrder order;
    order.lines = m_lines->lines();
    order.memberCard = m_memberCard;
    order.memberName = m_name->text();
    order.paymentMode = m_payment->currentText();
    order.adminName = m_login.adminName;
    order.bookingKey = m_attempt.key();
    auto receipt = bookSale(m_db, order);
    if (!receipt) {
        // unless an earlier try stood, the lines stay for another try
        if (!tellBookingFailure(this, m_attempt, QStringLiteral("销售没有完成: "), receipt.error()))
            return;
    } else {
        // The number actually used: another workstation may have booked the
        // number shown before the booking.
        Prompt::information(this, QStringLiteral("完成!\n单据号: %1").arg(receipt->orderNumber));
    }
    m_attempt.clear();
    IniData();
    SaleDanHao();
    // The payment mode stays for the next customer (a queue of members
    // paying by card); a card payment for the walk-in is refused.
    m_lines->clear();
    CountPrice();
}
