#include "sales/TSalePriceXiuGaiFm.h"

#include "ui/NumberEdit.h"
#include "ui/Prompt.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TSalePriceXiuGaiFm::TSalePriceXiuGaiFm(SaleLine& line, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_line(line),
      m_total(new NumberEdit(NumberEdit::Kind::Decimal, this)),
      m_ok(new QPushButton(QStringLiteral("确定"), this)) {
    setWindowTitle(QStringLiteral("请输入"));
    m_total->setObjectName(QStringLiteral("total"));
    m_total->setFieldName(QStringLiteral("合计"));
    m_total->setText(line.total.toString());
    m_total->selectAll();
    m_ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("修改价格"), this));
    layout->addWidget(m_total);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &TSalePriceXiuGaiFm::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TSalePriceXiuGaiFm::confirm() {
    if (m_total->text().isEmpty())
        return;
    const Result<Money> total = m_total->money();
    if (!total) {
        Prompt::warning(this, total.error());
        m_total->selectAll();
        m_total->setFocus();
        return;
    }
    XiuGaiAll(total.value());
    accept();
}

void TSalePriceXiuGaiFm::XiuGaiAll(Money total) {
    m_line.total = total;
}
