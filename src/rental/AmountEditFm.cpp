#include "rental/AmountEditFm.h"

#include "ui/NumberEdit.h"
#include "ui/Prompt.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

AmountEditFm::AmountEditFm(const QString& caption, const QString& field, Money& amount,
                           QWidget* parent)
    : QDialog(parent), m_amount(amount) {
    setWindowTitle(caption);
    m_edit = new NumberEdit(NumberEdit::Kind::Decimal, this);
    m_edit->setFieldName(field);
    m_edit->setText(amount.toString());
    m_edit->selectAll();
    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    connect(m_ok, &QPushButton::clicked, this, &AmountEditFm::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* form = new QFormLayout;
    form->addRow(field, m_edit);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(280, 110);
}

void AmountEditFm::confirm() {
    if (m_edit->text().isEmpty())
        return;
    auto value = m_edit->money();
    if (!value) {
        Prompt::warning(this, value.error());
        m_edit->setFocus();
        m_edit->selectAll();
        return;
    }
    m_amount = value.value();
    accept();
}
