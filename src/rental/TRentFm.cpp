#include "rental/TRentFm.h"

#include "rental/core/RentBooking.h"
#include "store/Clock.h"
#include "store/OrderNumbers.h"
#include "ui/BookingFailure.h"
#include "ui/Prompt.h"
#include "ui/TextLimits.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

TRentFm::TRentFm(const LoginContext& login, QWidget* parent) : RentalCounterFm(login, parent) {
    setWindowTitle(QStringLiteral("出租"));

    m_cardEntry = new QLineEdit(this);
    m_barcodeEntry = new QLineEdit(this);
    limitToColumn(m_cardEntry, QStringLiteral("会员库"), QStringLiteral("会员卡号"));
    limitToColumn(m_barcodeEntry, QStringLiteral("出租库"), QStringLiteral("条形码"));
    m_card = readOnlyBox();
    m_name = readOnlyBox();
    m_type = readOnlyBox();
    m_balance = readOnlyBox();
    m_mayBorrow = readOnlyBox();
    makeUnreturnedBox();
    m_takeDeposit = new QRadioButton(RentPricing::TakeDepositText, this);
    m_freeDeposit = new QRadioButton(RentPricing::FreeDepositText, this);
    auto* modes = new QButtonGroup(this);
    modes->addButton(m_takeDeposit);
    modes->addButton(m_freeDeposit);
    m_takeDeposit->setChecked(true);

    auto* member = new QGroupBox(QStringLiteral("会员信息"), this);
    auto* grid = new QGridLayout(member);
    grid->addWidget(new QLabel(QStringLiteral("会员卡号:  [F2]"), member), 0, 0);
    grid->addWidget(m_cardEntry, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("条形码   : [F3]"), member), 1, 0);
    grid->addWidget(m_barcodeEntry, 1, 1);
    const QList<std::pair<QString, QLineEdit*>> boxes = {
        {QStringLiteral("卡号"), m_card},          {QStringLiteral("姓名"), m_name},
        {QStringLiteral("类型"), m_type},          {QStringLiteral("卡内金额"), m_balance},
        {QStringLiteral("可借数量"), m_mayBorrow}, {QStringLiteral("未还数量"), m_unreturned}};
    for (int i = 0; i < boxes.size(); ++i) {
        const int row = i / 3;
        const int column = 2 + (i % 3) * 2;
        grid->addWidget(new QLabel(boxes[i].first, member), row, column, Qt::AlignRight);
        grid->addWidget(boxes[i].second, row, column + 1);
    }
    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(m_takeDeposit);
    modeRow->addWidget(m_freeDeposit);
    modeRow->addStretch();
    grid->addLayout(modeRow, 2, 0, 1, 2);
    grid->setColumnStretch(1, 2);
    for (int c = 3; c < 8; c += 2)
        grid->setColumnStretch(c, 1);

    makeLines(m_rentLines = new RentLines(this));
    m_list->setColumnWidth(Barcode, 130);
    m_list->setColumnWidth(Name, 220);
    m_list->setColumnWidth(Py, 110);
    m_list->setColumnWidth(GoodsType, 90);
    m_list->setColumnWidth(Deposit, 80);

    m_depositTotal = new QLabel(this);
    m_count = new QLabel(this);
    m_orderNumber = new QLabel(this);
    m_rentButton = button(QStringLiteral("出租 "));
    makeRemoveAndClose();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("押金:"), this));
    bottom->addWidget(m_depositTotal);
    bottom->addSpacing(24);
    bottom->addWidget(new QLabel(QStringLiteral("数量:"), this));
    bottom->addWidget(m_count);
    bottom->addSpacing(24);
    bottom->addWidget(new QLabel(QStringLiteral("单据号:"), this));
    bottom->addWidget(m_orderNumber);
    bottom->addStretch();
    bottom->addWidget(m_rentButton);
    bottom->addWidget(m_removeButton);
    bottom->addWidget(m_closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(member);
    layout->addWidget(m_list, 1);
    layout->addLayout(bottom);
    resize(820, 520);

    connect(m_cardEntry, &QLineEdit::returnPressed, this, &TRentFm::findMember);
    connect(m_barcodeEntry, &QLineEdit::returnPressed, this, &TRentFm::SpFind);
    connect(m_takeDeposit, &QRadioButton::clicked, this, &TRentFm::CountPrice);
    connect(m_freeDeposit, &QRadioButton::clicked, this, &TRentFm::CountPrice);
    connect(m_rentButton, &QPushButton::clicked, this, &TRentFm::rent);
}

void TRentFm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    IniData();
    ChuZuDanHao();
}

RentPricing::DepositMode TRentFm::depositMode() const {
    return m_freeDeposit->isChecked() ? RentPricing::DepositMode::Free
                                      : RentPricing::DepositMode::Take;
}

void TRentFm::IniData() {
    m_count->setText(QStringLiteral("0"));
    m_depositTotal->setText(QStringLiteral("0"));
    m_cardEntry->clear();
    showWalkIn();
    m_barcodeEntry->clear();
    m_cardEntry->setFocus();
}

void TRentFm::showWalkIn() {
    m_unreturned->setText(QStringLiteral("0"));
    m_card->setText(WalkIn);
    m_name->setText(WalkIn);
    m_type->setText(WalkIn);
    m_balance->setText(QStringLiteral("0"));
    m_mayBorrowCount = 9999;
    m_mayBorrow->setText(QString::number(m_mayBorrowCount));
}

void TRentFm::ChuZuDanHao() {
    auto next = OrderNumbers::peekNext(db(), OrderNumbers::Kind::Rent);
    if (!next) {
        Prompt::error(this, next.error());
        return;
    }
    m_orderNumber->setText(QString::number(next.value()));
}

void TRentFm::CountPrice() {
    const RentPricing::RentTotals totals = m_rentLines->totals(depositMode());
    m_count->setText(QString::number(totals.count));
    m_depositTotal->setText(totals.deposit.toString());
}

void TRentFm::findMember() {
    const std::optional<CounterMember> found = lookUpMember(db());
    if (!found)
        return;
    m_card->setText(found->member.card);
    if (!found->terms) {
        m_mayBorrowCount = 9999;
        m_mayBorrow->setText(QString::number(m_mayBorrowCount));
        Prompt::information(this, CounterMembers::UnknownType);
        return;
    }
    const MemberType& terms = *found->terms;
    if (terms.noDeposit)
        m_freeDeposit->setChecked(true);
    else
        m_takeDeposit->setChecked(true);
    m_mayBorrowCount = terms.quota - found->openRents;
    m_mayBorrow->setText(QString::number(m_mayBorrowCount));

    // A warning only: renting stays possible.
    if (found->expired(Clock::now()))
        Prompt::warning(this, CounterMembers::Expired);

    m_rentLines->clear();
    CountPrice();
    m_barcodeEntry->setFocus();
}

void TRentFm::SpFind() {
    if (m_rentLines->rowCount() >= m_mayBorrowCount) {
        Prompt::information(this, QStringLiteral("已经超过了可借数量限制,不能再借阅了!"));
        return;
    }
    const Db database = db();
    m_chosenBarcode = m_barcodeEntry->text().trimmed();
    // A short fragment may match a large part of the catalogue: the choice
    // lists the first ones only.
    constexpr int ChoiceRows = 1000;
    auto copies = RentalLookup::availableCopies(database, m_chosenBarcode, ChoiceRows);
    if (!copies) {
        Prompt::error(this, copies.error());
        return;
    }
    auto notFound = [this] {
        Prompt::information(this, QStringLiteral("没有找到该商品信息,请检查输入的信息是否正确!"));
        selectBarcodeEntry();
    };
    if (copies->isEmpty()) {
        notFound();
        return;
    }
    RentalLookup::Copy copy = copies->first();
    if (copies->size() > 1) {
        const bool more = copies->size() > ChoiceRows;
        if (more)
            copies.value().removeLast();
        m_choiceSlot.open(
            [&] { return new TRentGoodsChoiceFm(copies.value(), more, m_chosenBarcode, this); });
        if (m_chosenBarcode.isEmpty())
            return;
        auto chosen = RentalLookup::copy(database, m_chosenBarcode);
        if (!chosen) {
            Prompt::error(this, chosen.error());
            return;
        }
        if (!chosen.value()) {
            notFound();
            return;
        }
        copy = *chosen.value();
    }
    if (m_rentLines->holds(copy.barcode)) {
        Prompt::information(this, QStringLiteral("提示: 已经添加过了."));
        selectBarcodeEntry();
        return;
    }
    auto type = RentalLookup::goodsType(database, copy.goodsType);
    if (!type) {
        Prompt::error(this, type.error());
        return;
    }
    if (!type.value()) {
        Prompt::information(this, QStringLiteral("商品类型中没有: ") + copy.goodsType +
                                      QStringLiteral(" ,请先设置去设置(商品类型)!"));
        return;
    }
    m_rentLines->add(copy, *type.value(), depositMode());
    CountPrice();
    selectBarcodeEntry();
}

void TRentFm::editDeposit() {
    editAmount(Permission::RentDepositEdit, [this](int row) {
        Money deposit = m_rentLines->line(row).deposit;
        m_depositSlot.open([&] { return new TRentYaJinXiuGaiFm(deposit, this); });
        m_rentLines->setDeposit(row, deposit);
    });
}

void TRentFm::showUnreturned() {
    m_unreturnedSlot.open(
        [&] { return new TRentHyWeiHuanFm(m_login.connectionName, m_card->text(), this); });
}

void TRentFm::rent() {
    if (m_rentLines->isEmpty())
        return;
    if (!Prompt::question(this, QStringLiteral("您确定要出租这些商品? ")))
        return;
    RentOrder order;
    order.card = m_card->text();
    order.memberName = m_name->text();
    order.depositMode = depositMode();
    order.adminName = m_login.adminName;
    order.lines = m_rentLines->lines();
    order.bookingKey = m_attempt.key();
    auto receipt = bookRent(db(), order);
    if (!receipt) {
        // Unless an earlier try stood, the lines stay so that the user can retry.
        if (!tellBookingFailure(this, m_attempt, QStringLiteral("出租失败: "), receipt.error()))
            return;
    } else {
        Prompt::information(this, QStringLiteral("完成!\n单据号: %1").arg(receipt->orderNumber));
    }
    m_attempt.clear();
    IniData();
    ChuZuDanHao();
    m_rentLines->clear();
}
