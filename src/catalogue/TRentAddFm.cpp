#include "catalogue/TRentAddFm.h"

#include "catalogue/Picture.h"
#include "store/ChoiceLists.h"
#include "store/Pinyin.h"
#include "ui/FormParts.h"
#include "ui/NumberEdit.h"
#include "ui/Prompt.h"
#include "ui/TextLimits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TRentAddFm::TRentAddFm(const LoginContext& login, QWidget* parent)
    : QDialog(parent), m_login(login) {
    setWindowTitle(QStringLiteral("新增商品-出租库"));
    const QString table = QStringLiteral("出租库");
    using FormParts::choiceBox;
    using FormParts::textBox;
    using Need = FormParts::FormGrid::Need;
    m_price = new NumberEdit(NumberEdit::Kind::Decimal);
    m_price->setFieldName(QStringLiteral("定价"));
    m_synopsis = new QPlainTextEdit;
    limitToColumn(m_synopsis, table, QStringLiteral("简介"));
    m_synopsis->setTabChangesFocus(true);
    m_picture = new PictureBox;
    m_picture->setFixedSize(150, 180);
    m_choosePicture = new QPushButton(QStringLiteral("选择图片"));
    m_isSet = new QCheckBox(QStringLiteral("书籍成套录入/电视剧多集录入"));
    m_count = new NumberEdit(NumberEdit::Kind::Digits);
    m_count->setEnabled(false);
    m_clearAfterSave = new QCheckBox(QStringLiteral("保存完成后清空"));
    m_save = new QPushButton(QStringLiteral("保存"));
    m_close = new QPushButton(QStringLiteral("退出"));
    for (QPushButton* b : {m_choosePicture, m_save, m_close})
        b->setAutoDefault(false);

    FormParts::FormGrid form;
    m_barcode = form.add(QStringLiteral("条形码"), textBox(table, QStringLiteral("条形码")),
                         Need::Required);
    m_title = form.add(QStringLiteral("商品名称"), textBox(table, QStringLiteral("商品名称")),
                       Need::Required);
    form.add(QStringLiteral("定价"), m_price, Need::Required);
    m_author = form.add(QStringLiteral("作者"), textBox(table, QStringLiteral("作者")));
    m_place = form.add(QStringLiteral("存放位置"), choiceBox(table, QStringLiteral("存放位置")));
    m_publisher = form.add(QStringLiteral("出版社"), choiceBox(table, QStringLiteral("出版社")));
    m_type = form.add(QStringLiteral("商品类型"), choiceBox(table, QStringLiteral("商品类型")),
                      Need::Required);
    m_supplier = form.add(QStringLiteral("供应商"), choiceBox(table, QStringLiteral("供应商")));
    form.addWide(QStringLiteral("简介"), m_synopsis);
    auto* setRow = new QHBoxLayout;
    setRow->addWidget(m_isSet);
    setRow->addWidget(new QLabel(QStringLiteral("册/集")));
    setRow->addWidget(m_count);
    setRow->addStretch(1);
    form.addLine(setRow);

    auto* pictureColumn = new QVBoxLayout;
    pictureColumn->addWidget(new QLabel(QStringLiteral("图片")));
    pictureColumn->addWidget(m_picture);
    pictureColumn->addWidget(m_choosePicture);
    pictureColumn->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addLayout(form.layout(), 1);
    top->addLayout(pictureColumn);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_clearAfterSave);
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    connect(m_title, &QLineEdit::textChanged, this,
            [this](const QString& title) { m_py = PinyinCode(title); });
    connect(m_isSet, &QCheckBox::toggled, m_count, &QWidget::setEnabled);
    connect(m_choosePicture, &QPushButton::clicked, this, &TRentAddFm::choosePicture);
    connect(m_picture, &PictureBox::clicked, this, &TRentAddFm::clickPicture);
    connect(m_save, &QPushButton::clicked, this, &TRentAddFm::save);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    resize(640, 360);
    InitialData();
    fillChoices();
}

void TRentAddFm::InitialData() {
    m_barcode->setFocus();
    for (QLineEdit* edit : {m_barcode, m_title, m_author, static_cast<QLineEdit*>(m_count)})
        edit->clear();
    m_synopsis->clear();
    m_price->setText(QStringLiteral("0"));
    for (QComboBox* box : {m_place, m_publisher, m_type, m_supplier})
        box->setEditText(QString());
}

void TRentAddFm::fillChoices() {
    const Db db(m_login.connectionName);
    using L = ChoiceLists::List;
    const QList<QPair<QComboBox*, L>> lists = {{m_place, L::Places},
                                               {m_publisher, L::Publishers},
                                               {m_supplier, L::Suppliers},
                                               {m_type, L::GoodsTypes}};
    for (const auto& [box, list] : lists) {
        auto names = ChoiceLists::names(db, list);
        if (!names) {
            Prompt::error(this, names.error());
            return;
        }
        FormParts::setChoices(box, names.value());
    }
}

void TRentAddFm::choosePicture() {
    if (auto bitmap = Picture::choose(this))
        m_picture->setPicture(*bitmap);
}

void TRentAddFm::clickPicture() {
    if (auto bitmap = Picture::choose(this, Picture::SizeCheck::None))
        m_picture->setPicture(*bitmap);
}

void TRentAddFm::save() {
    NewRentCopy entry;
    entry.barcode = m_barcode->text();
    entry.title = m_title->text();
    entry.goodsType = m_type->currentText();
    entry.price = m_price->text();
    entry.author = m_author->text();
    entry.place = m_place->currentText();
    entry.publisher = m_publisher->currentText();
    entry.supplier = m_supplier->currentText();
    entry.synopsis = m_synopsis->toPlainText();
    entry.picture = m_picture->picture();
    entry.isSet = m_isSet->isChecked();
    entry.setCount = m_count->text();
    auto added = RentCatalogue::addCopies(Db(m_login.connectionName), entry, m_login.adminName);
    if (!added) {
        Prompt::information(this, added.error());
        return;
    }
    Prompt::information(this, QStringLiteral("保存成功!"));
    Q_EMIT copiesAdded(added.value());
    // the picture and both tick boxes stay for the next copy
    if (m_clearAfterSave->isChecked())
        InitialData();
}
