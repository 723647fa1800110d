#include "sales/TCustomerRefundFm.h"

#include "sales/core/RefundBooking.h"
#include "sales/core/SaleLine.h"
#include "ui/DataGrid.h"
#include "ui/NumberEdit.h"
#include "ui/Prompt.h"
#include "ui/TextLimits.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

TCustomerRefundFm::TCustomerRefundFm(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_login(login), m_db(login.connectionName), m_barcode(new QLineEdit(this)),
      m_search(new QPushButton(QStringLiteral("搜索"), this)),
      m_quantity(new NumberEdit(NumberEdit::Kind::Digits, this)),
      m_amount(new NumberEdit(NumberEdit::Kind::Decimal, this)), m_method(new QLineEdit(this)),
      m_refund(new QPushButton(QStringLiteral("退货"), this)),
      m_back(new QPushButton(QStringLiteral("返回"), this)), m_grid(new DataGrid(this)) {
    setWindowTitle(QStringLiteral("顾客退货"));
    m_barcode->setObjectName(QStringLiteral("barcode"));
    limitToColumn(m_barcode, QStringLiteral("销售记录"), QStringLiteral("条形码"));
    m_search->setObjectName(QStringLiteral("search"));
    m_quantity->setObjectName(QStringLiteral("quantity"));
    m_quantity->setFieldName(QStringLiteral("退货数量"));
    m_amount->setObjectName(QStringLiteral("amount"));
    m_amount->setFieldName(QStringLiteral("退还金额"));
    m_method->setObjectName(QStringLiteral("method"));
    m_method->setReadOnly(true);
    m_method->setFocusPolicy(Qt::ClickFocus);
    m_refund->setObjectName(QStringLiteral("refund"));
    m_grid->setObjectName(QStringLiteral("sales"));
    for (QPushButton* button : {m_search, m_refund, m_back})
        button->setAutoDefault(false);

    m_grid->setMoneyColumns({QStringLiteral("定价"), QStringLiteral("销售单价"),
                             QStringLiteral("折扣"), QStringLiteral("合计"),
                             QStringLiteral("已退金额")});
    m_grid->setColumnOrder(
        {QStringLiteral("条形码"), QStringLiteral("商品名称"), QStringLiteral("日期"),
         QStringLiteral("销售单价"), QStringLiteral("数量"), QStringLiteral("合计"),
         QStringLiteral("已退数量"), QStringLiteral("已退金额"), QStringLiteral("支付方式"),
         QStringLiteral("商品id"), QStringLiteral("销售单号"), QStringLiteral("管理员")});
    m_grid->setHiddenColumns({QStringLiteral("id"), QStringLiteral("定价"), QStringLiteral("折扣"),
                              QStringLiteral("会员卡号"), QStringLiteral("姓名")});

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("条形码"), this));
    top->addWidget(m_barcode, 1);
    top->addWidget(m_search);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(new QLabel(QStringLiteral("退货数量"), this));
    boxes->addWidget(m_quantity);
    boxes->addWidget(new QLabel(QStringLiteral("退还金额"), this));
    boxes->addWidget(m_amount);
    boxes->addWidget(new QLabel(QStringLiteral("退还方式"), this));
    boxes->addWidget(m_method);
    boxes->addStretch();
    boxes->addWidget(m_refund);
    boxes->addWidget(m_back);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addLayout(boxes);
    resize(900, 480);

    // Typing a barcode makes Enter search.
    connect(m_barcode, &QLineEdit::textEdited, this, [this] { m_search->setDefault(true); });
    connect(m_search, &QPushButton::clicked, this, &TCustomerRefundFm::search);
    connect(m_grid, &DataGrid::currentRowChanged, this, &TCustomerRefundFm::fillFromCurrentLine);
    connect(m_grid->view(), &QTableView::clicked, this, &TCustomerRefundFm::fillFromCurrentLine);
    connect(m_quantity, &QLineEdit::textChanged, this, &TCustomerRefundFm::quantityChanged);
    connect(m_refund, &QPushButton::clicked, this, &TCustomerRefundFm::refund);
    connect(m_back, &QPushButton::clicked, this, &QDialog::reject);
}

void TCustomerRefundFm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    m_barcode->clear();
    m_quantity->setText(QStringLiteral("1"));
    m_amount->setText(QStringLiteral("0"));
    m_method->setText(RefundCash);
    m_barcode->setFocus();
}

void TCustomerRefundFm::search() {
    const QString barcode = m_barcode->text().trimmed();
    if (barcode.isEmpty())
        return;
    if (Status s = m_grid->setQuery(saleRecordsOf(barcode, m_login.connectionName)); !s) {
        Prompt::error(this, s.error());
        return;
    }
    if (m_grid->loadedRowCount() == 0) {
        Prompt::information(this, QStringLiteral("没有找到!"));
        return;
    }
    m_grid->setCurrentRow(0);
    m_grid->view()->resizeColumnsToContents();
    m_grid->view()->horizontalScrollBar()->setValue(0);
    fillFromCurrentLine();
}

void TCustomerRefundFm::fillFromCurrentLine() {
    if (!m_grid->hasCurrentRow())
        return;
    const RefundLeft left = leftOfCurrentLine();
    m_quantity->setText(QString::number(left.quantity));
    m_amount->setText(left.amount.toString());
    m_method->setText(refundMethodFor(m_grid->text(QStringLiteral("支付方式"))));
}

void TCustomerRefundFm::quantityChanged() {
    if (m_quantity->text().isEmpty() || !m_grid->hasCurrentRow())
        return;
    const Result<qint64> quantity =
        m_quantity->integer(SalePricing::quantityField(QStringLiteral("退货数量")));
    if (!quantity)
        return;
    m_amount->setText(
        proposedRefund(m_grid->money(QStringLiteral("销售单价")), *quantity, leftOfCurrentLine())
            .toString());
}

RefundLeft TCustomerRefundFm::leftOfCurrentLine() const {
    return refundLeft(
        m_grid->integer(QStringLiteral("数量")), m_grid->money(QStringLiteral("合计")),
        m_grid->integer(QStringLiteral("已退数量")), m_grid->money(QStringLiteral("已退金额")));
}

void TCustomerRefundFm::refund() {
    const QString quantityText = m_quantity->text().trimmed();
    const QString amountText = m_amount->text().trimmed();
    const QString missing = QStringLiteral("请填写退货数量和退还金额!");
    if (quantityText.isEmpty() || amountText.isEmpty() || quantityText == QLatin1String("0") ||
        amountText == QLatin1String("0")) {
        Prompt::information(this, missing);
        return;
    }
    const Result<qint64> quantity =
        m_quantity->integer(SalePricing::quantityField(QStringLiteral("退货数量")));
    if (!quantity) {
        Prompt::warning(this, quantity.error());
        return;
    }
    const Result<Money> amount = m_amount->money();
    if (!amount) {
        Prompt::warning(this, amount.error());
        return;
    }
    if (*quantity <= 0 || amount.value() <= Money()) {
        Prompt::information(this, missing);
        return;
    }
    if (!m_grid->hasCurrentRow())
        return;
    const QString name = m_grid->text(QStringLiteral("商品名称"));
    if (!Prompt::question(this, QStringLiteral("您确定退的是: \" %1\"").arg(name)))
        return;
    RefundOrder order{m_grid->integer(QStringLiteral("id")), *quantity, amount.value(),
                      m_login.adminName};
    auto receipt = bookRefund(m_db, order);
    if (!receipt) {
        Prompt::error(this, QStringLiteral("退货没有完成: ") + receipt.error());
        return;
    }
    Prompt::information(this, QStringLiteral("完成!"));
    accept();
}
