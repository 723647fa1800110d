#include "finance/MoneyEntryFm.h"

#include "finance/core/IncomeExpenseBooking.h"
#include "finance/core/IncomeExpenseTypes.h"
#include "ui/NumberEdit.h"
#include "ui/Prompt.h"
#include "ui/TextLimits.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

MoneyEntryFm::MoneyEntryFm(const LoginContext& login, const QString& title,
                           const QString& itemCaption, const QString& kind,
                           const QString& initialItem, const QString& table,
                           const QString& nameColumn, QWidget* parent)
    : QDialog(parent), m_login(login), m_item(new QComboBox(this)), m_name(new QLineEdit(this)),
      m_remark(new QPlainTextEdit(this)), m_amount(new NumberEdit(NumberEdit::Kind::Digits, this)),
      m_ok(new QPushButton(QStringLiteral("确定"), this)),
      m_close(new QPushButton(QStringLiteral("关闭"), this)) {
    setWindowTitle(title);
    m_item->setEditable(true);
    m_item->setInsertPolicy(QComboBox::NoInsert);
    m_remark->setTabChangesFocus(true);
    m_remark->setFixedHeight(80);
    m_amount->setMaxLength(9);
    limitToColumn(m_item, table, QStringLiteral("项目"));
    limitToColumn(m_name, table, nameColumn);
    limitToColumn(m_remark, table, QStringLiteral("说明"));
    QFont big = m_amount->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    m_amount->setFont(big);
    m_amount->setFieldName(QStringLiteral("金额"));

    auto* form = new QFormLayout;
    form->addRow(itemCaption, m_item);
    form->addRow(QStringLiteral("姓名:"), m_name);
    form->addRow(QStringLiteral("说明"), m_remark);
    // only whole yuan can be typed (a point is dropped): said beside the box
    auto* amountRow = new QHBoxLayout;
    amountRow->addWidget(m_amount, 1);
    amountRow->addWidget(new QLabel(WholeYuan, this));
    form->addRow(QStringLiteral("金额"), amountRow);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    // Enter books from any box but the remark (where it starts a new line);
    // on "关闭" it closes
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] { confirm(); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    // The list holds the types of this kind; any other text may be typed.
    if (auto names = IncomeExpenseTypes::names(Db(login.connectionName), kind); names)
        m_item->addItems(names.value());
    else
        Prompt::error(this, names.error());
    m_item->setCurrentIndex(-1);
    m_item->setEditText(initialItem);
    resize(380, 300);
}

bool MoneyEntryFm::confirm() {
    if (const QString refused = refusal(); !refused.isEmpty()) {
        Prompt::warning(this, refused);
        return false;
    }
    auto amount = IncomeExpenseBooking::amountFrom(m_amount->text());
    if (!amount) {
        Prompt::warning(this, amount.error());
        return false;
    }
    auto booked =
        book({m_item->currentText(), amount.value(), m_name->text(), m_remark->toPlainText()});
    if (!booked) {
        Prompt::error(this, booked.error());
        return false;
    }
    Prompt::information(this, QStringLiteral("完成!"));
    accept();
    return true;
}
