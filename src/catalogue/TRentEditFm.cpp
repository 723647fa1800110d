#include "catalogue/TRentEditFm.h"

#include "catalogue/Picture.h"
#include "catalogue/TRentEditPicFm.h"
#include "store/ChoiceLists.h"
#include "ui/FormParts.h"
#include "ui/NumberEdit.h"
#include "ui/Prompt.h"
#include "ui/TextLimits.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TRentEditFm::TRentEditFm(const LoginContext& login, const RentCopy& copy, QWidget* parent)
    : QDialog(parent), m_login(login), m_asRead(copy) {
    setWindowTitle(QStringLiteral("编辑"));
    // left through "保存" or "取消" only
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    const QString table = QStringLiteral("出租库");
    using FormParts::choiceBox;
    using FormParts::textBox;
    using Need = FormParts::FormGrid::Need;
    m_py = new QLineEdit;
    m_py->setEnabled(false);
    // a status is chosen, never typed: a copy out on rent shows its renter
    m_status = new QComboBox;
    m_status->addItems({RentCatalogue::Available, RentCatalogue::Withdrawn});
    if (m_status->findText(copy.status) < 0)
        m_status->insertItem(0, copy.status);
    m_price = new NumberEdit(NumberEdit::Kind::Decimal);
    m_price->setFieldName(QStringLiteral("定价"));
    m_synopsis = new QPlainTextEdit;
    limitToColumn(m_synopsis, table, QStringLiteral("简介"));
    m_synopsis->setTabChangesFocus(true);
    m_picture = new PictureBox;
    m_picture->setFixedSize(150, 180);
    m_enlarge = new QPushButton(QStringLiteral("放大"));
    m_changePicture = new QPushButton(QStringLiteral("更改图片"));
    m_save = new QPushButton(QStringLiteral("保存"));
    m_cancel = new QPushButton(QStringLiteral("取消"));
    for (QPushButton* b : {m_enlarge, m_changePicture, m_save, m_cancel})
        b->setAutoDefault(false);

    // the boxes a save needs are bold, as in the add window
    FormParts::FormGrid form;
    m_barcode = form.add(QStringLiteral("条形码"), textBox(table, QStringLiteral("条形码")),
                         Need::Required);
    m_title = form.add(QStringLiteral("商品名称"), textBox(table, QStringLiteral("商品名称")),
                       Need::Required);
    form.add(QStringLiteral("拼音"), m_py);
    m_type = form.add(QStringLiteral("商品类型"), choiceBox(table, QStringLiteral("商品类型")));
    m_place = form.add(QStringLiteral("存放位置"), choiceBox(table, QStringLiteral("存放位置")));
    m_publisher = form.add(QStringLiteral("出版社"), choiceBox(table, QStringLiteral("出版社")));
    form.add(QStringLiteral("状态"), m_status);
    m_supplier = form.add(QStringLiteral("供应商"), choiceBox(table, QStringLiteral("供应商")));
    form.add(QStringLiteral("定价"), m_price, Need::Required);
    m_author = form.add(QStringLiteral("作者"), textBox(table, QStringLiteral("作者")));
    form.addWide(QStringLiteral("简介"), m_synopsis);

    auto* pictureColumn = new QVBoxLayout;
    pictureColumn->addWidget(m_picture);
    auto* pictureButtons = new QHBoxLayout;
    pictureButtons->addWidget(m_enlarge);
    pictureButtons->addWidget(m_changePicture);
    pictureColumn->addLayout(pictureButtons);
    pictureColumn->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addLayout(form.layout(), 1);
    top->addLayout(pictureColumn);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    connect(m_save, &QPushButton::clicked, this, &TRentEditFm::save);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_changePicture, &QPushButton::clicked, this, &TRentEditFm::changePicture);
    connect(m_enlarge, &QPushButton::clicked, this, &TRentEditFm::enlargePicture);
    resize(660, 340);

    const Db db(m_login.connectionName);
    using L = ChoiceLists::List;
    const QList<QPair<QComboBox*, L>> lists = {{m_publisher, L::Publishers},
                                               {m_supplier, L::Suppliers},
                                               {m_type, L::GoodsTypes},
                                               {m_place, L::Places}};
    for (const auto& [box, list] : lists) {
        if (auto names = ChoiceLists::names(db, list))
            FormParts::setChoices(box, names.value());
    }
    m_barcode->setText(copy.barcode);
    m_title->setText(copy.title);
    m_py->setText(copy.py);
    m_type->setEditText(copy.goodsType);
    m_place->setEditText(copy.place);
    m_publisher->setEditText(copy.publisher);
    m_status->setCurrentIndex(m_status->findText(copy.status));
    m_supplier->setEditText(copy.supplier);
    m_price->setText(copy.price.toString());
    m_author->setText(copy.author);
    m_synopsis->setPlainText(copy.synopsis);
    m_picture->setPicture(copy.picture);

    // a copy out on rent keeps the status the rent gave it until its return
    auto out = RentCatalogue::isOut(db, copy.barcode);
    m_out = out && out.value();
    connect(m_status, &QComboBox::activated, this, [this] {
        if (!m_out || m_status->currentText() == m_asRead.status)
            return;
        m_status->setCurrentIndex(m_status->findText(m_asRead.status));
        Prompt::information(this, QStringLiteral("该商品已出租,不能修改状态!"));
    });
}

TRentEditFm::~TRentEditFm() = default;

std::optional<RentCopy> TRentEditFm::edited() const {
    auto* self = const_cast<TRentEditFm*>(this);
    if (m_barcode->text().trimmed().isEmpty() || m_title->text().trimmed().isEmpty() ||
        m_price->text().trimmed().isEmpty()) {
        Prompt::information(self, QStringLiteral("字体加重的项目必须填写!"));
        return std::nullopt;
    }
    auto price = m_price->money();
    if (!price) {
        Prompt::warning(self, price.error());
        return std::nullopt;
    }
    RentCopy c = m_asRead;
    c.barcode = m_barcode->text();
    c.title = m_title->text();
    c.goodsType = m_type->currentText();
    c.place = m_place->currentText();
    c.publisher = m_publisher->currentText();
    c.status = m_status->currentText();
    c.supplier = m_supplier->currentText();
    c.price = price.value();
    c.author = m_author->text();
    c.synopsis = m_synopsis->toPlainText();
    c.picture = m_picture->picture();
    return c;
}

void TRentEditFm::save() {
    const auto copy = edited();
    if (!copy)
        return;
    // a refused save keeps the window open with the changes pending
    if (Status saved = RentCatalogue::save(Db(m_login.connectionName), m_asRead, *copy); !saved) {
        Prompt::error(this, saved.error());
        return;
    }
    accept();
}

void TRentEditFm::changePicture() {
    if (auto bitmap = Picture::choose(this))
        m_picture->setPicture(*bitmap);
}

void TRentEditFm::enlargePicture() {
    m_viewer.open([this] { return new TRentEditPicFm(m_picture->picture(), this); });
}
