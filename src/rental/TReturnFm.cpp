#include "rental/TReturnFm.h"

#include "rental/core/RentPricing.h"
#include "rental/core/RentalLookup.h"
#include "store/Clock.h"
#include "store/IniBool.h"
#include "store/IniFile.h"
#include "ui/BookingFailure.h"
#include "ui/Prompt.h"
#include "ui/TextLimits.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

TReturnFm::TReturnFm(const LoginContext& login, QWidget* parent) : RentalCounterFm(login, parent) {
    setWindowTitle(QStringLiteral("归还"));

    m_cardEntry = new QLineEdit(this);
    m_barcodeEntry = new QLineEdit(this);
    limitToColumn(m_cardEntry, QStringLiteral("会员库"), QStringLiteral("会员卡号"));
    limitToColumn(m_barcodeEntry, QStringLiteral("出租库"), QStringLiteral("条形码"));
    m_name = readOnlyBox();
    m_type = readOnlyBox();
    m_balance = readOnlyBox();
    makeUnreturnedBox();
    m_payment = new QComboBox(this);
    m_payment->setEditable(false);
    m_payment->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_payment->addItems({PayCash, PayFromCard});
    m_remark = new QLineEdit(this);
    limitToColumn(m_remark, QStringLiteral("出租记录"), QStringLiteral("归还说明"));

    auto* member = new QGroupBox(QStringLiteral("会员信息"), this);
    auto* grid = new QGridLayout(member);
    grid->addWidget(new QLabel(QStringLiteral("会员卡号: [F2]"), member), 0, 0);
    grid->addWidget(m_cardEntry, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("[回车]"), member), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("条形码   :[F3]"), member), 1, 0);
    grid->addWidget(m_barcodeEntry, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("[回车]"), member), 1, 2);
    const QList<std::pair<QString, QLineEdit*>> boxes = {
        {QStringLiteral("姓名"), m_name},
        {QStringLiteral("类型"), m_type},
        {QStringLiteral("卡内金额"), m_balance},
        {QStringLiteral("未还数量"), m_unreturned}};
    for (int i = 0; i < boxes.size(); ++i) {
        const int row = i / 2;
        const int column = 3 + (i % 2) * 2;
        grid->addWidget(new QLabel(boxes[i].first, member), row, column, Qt::AlignRight);
        grid->addWidget(boxes[i].second, row, column + 1);
    }
    auto* note =
        new QLabel(QStringLiteral("说明:会员归还时需要先确定会员信息,散客则可直接输入条形码"
                                  "(回车)来确定出租信息."),
                   member);
    note->setWordWrap(true);
    grid->addWidget(note, 2, 0, 1, 7);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(4, 1);
    grid->setColumnStretch(6, 1);

    makeLines(m_returnLines = new ReturnLines(this));
    const int widths[ColumnCount] = {110, 170, 70, 80, 80, 60, 150, 50, 60};
    for (int c = 0; c < ColumnCount; ++c)
        m_list->setColumnWidth(c, widths[c]);

    m_rentTotal = new QLabel(this);
    m_depositBack = new QLabel(this);
    m_returnButton = button(QStringLiteral("归还 "));
    makeRemoveAndClose();
    auto* settle = new QHBoxLayout;
    settle->addWidget(new QLabel(QStringLiteral("租金:"), this));
    settle->addWidget(m_rentTotal);
    settle->addSpacing(24);
    settle->addWidget(new QLabel(QStringLiteral("退还押金:"), this));
    settle->addWidget(m_depositBack);
    settle->addSpacing(24);
    settle->addWidget(new QLabel(QStringLiteral("支付方式:"), this));
    settle->addWidget(m_payment);
    settle->addSpacing(24);
    settle->addWidget(new QLabel(QStringLiteral("归还说明:"), this));
    settle->addWidget(m_remark, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_returnButton);
    buttons->addWidget(m_removeButton);
    buttons->addWidget(m_closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(member);
    layout->addWidget(m_list, 1);
    layout->addLayout(settle);
    layout->addLayout(buttons);
    resize(920, 540);

    connect(m_cardEntry, &QLineEdit::returnPressed, this, &TReturnFm::findMember);
    connect(m_barcodeEntry, &QLineEdit::returnPressed, this, &TReturnFm::scanBarcode);
    connect(m_returnButton, &QPushButton::clicked, this, &TReturnFm::giveBack);
}

void TReturnFm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    m_promptAfterReturn = false;
    if (!m_login.config.iniPath.isEmpty()) {
        const IniFile ini(m_login.config.iniPath);
        m_promptAfterReturn =
            iniYes(ini.read(IniKeys::Part2, IniKeys::ReturnReminder, IniKeys::Default));
    }
    m_payment->clear();
    m_payment->addItems({PayCash, PayFromCard});
    m_payment->setCurrentIndex(0);
    m_remark->setText(QStringLiteral("正常"));
    IniData();
}

Payment TReturnFm::payment() const {
    return m_payment->currentText() == PayFromCard ? Payment::Card : Payment::Cash;
}

void TReturnFm::IniData() {
    m_depositBack->setText(QStringLiteral("0"));
    m_cardEntry->clear();
    showWalkIn();
    m_rentTotal->setText(QStringLiteral("0"));
    m_barcodeEntry->clear();
    m_cardEntry->setFocus();
    m_returnLines->clear();
}

void TReturnFm::showWalkIn() {
    m_currentCard = WalkIn;
    m_name->setText(WalkIn);
    m_type->setText(WalkIn);
    m_balance->setText(QStringLiteral("0"));
    m_unreturned->setText(QStringLiteral("0"));
}

void TReturnFm::CountPrice() {
    const RentPricing::ReturnTotals totals = m_returnLines->totals();
    m_rentTotal->setText(totals.rent.toString());
    m_depositBack->setText(totals.depositBack.toString());
}

void TReturnFm::findMember() {
    const std::optional<CounterMember> found = lookUpMember(db());
    if (!found)
        return;
    m_currentCard = found->member.card;
    if (found->terms && found->terms->rentFromCard)
        m_payment->setCurrentIndex(m_payment->findText(PayFromCard));
    m_barcodeEntry->setFocus();
}

void TReturnFm::scanBarcode() {
    const QString code = m_barcodeEntry->text().trimmed();
    if (m_returnLines->holds(code)) {
        Prompt::information(this, QStringLiteral("已经重复添加过了."));
        return;
    }
    RentFind(code);
}

void TReturnFm::RentFind(const QString& barcode) {
    auto rents = RentalLookup::openRentsOf(db(), barcode, m_currentCard);
    if (!rents) {
        Prompt::error(this, rents.error());
        return;
    }
    if (rents->isEmpty()) {
        Prompt::information(this, QStringLiteral("没有找到,请检查输入的信息是否正确!"));
        selectBarcodeEntry();
        return;
    }
    const QDateTime now = Clock::now();
    for (const RentalLookup::OpenRent& rent : rents.value())
        m_returnLines->add(rent, now);
    CountPrice();
    selectBarcodeEntry();
}

void TReturnFm::editRent() {
    editAmount(Permission::ReturnRentEdit, [this](int row) {
        Money rent = m_returnLines->line(row).rent;
        m_rentSlot.open([&] { return new TReturnZuJinXiuGaiFm(rent, this); });
        m_returnLines->setRent(row, rent);
    });
}

void TReturnFm::showUnreturned() {
    m_unreturnedSlot.open(
        [&] { return new TReturnHyWeiHuanFm(m_login.connectionName, m_currentCard, this); });
}

void TReturnFm::giveBack() {
    if (m_returnLines->isEmpty())
        return;
    ReturnOrder order;
    order.payment = payment();
    order.remark = m_remark->text();
    order.adminName = m_login.adminName;
    order.lines = m_returnLines->lines();
    order.bookingKey = m_attempt.key();
    auto receipt = bookReturn(db(), order);
    if (!receipt) {
        // Unless an earlier try stood, the lines stay so that the user can retry.
        if (!tellBookingFailure(this, m_attempt, QStringLiteral("归还失败: "), receipt.error()))
            return;
    } else {
        Prompt::information(this, QStringLiteral("完成!"));
    }
    m_attempt.clear();

    const Db database = db();
    auto last = MemberLookup::member(database, order.lines.last().card);
    if (last && last.value())
        m_balance->setText(last.value()->balance.toString());
    auto open = MemberLookup::openRentCount(database, m_currentCard);
    if (open)
        m_unreturned->setText(QString::number(open.value()));
    if (m_promptAfterReturn && m_name->text() != WalkIn)
        Prompt::information(this, QStringLiteral("未还数量是: ") + m_unreturned->text() +
                                      QStringLiteral(" ,卡内金额: ") + m_balance->text() +
                                      QStringLiteral(" 元 !"));
    IniData();
}
