#pragma once

#include "catalogue/core/RentCatalogue.h"
#include "store/LoginContext.h"

#include <QDialog>

class NumberEdit;
class PictureBox;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// 新增商品-出租库: enters one copy, or a numbered set of copies in one step,
// with an optional picture.
class TRentAddFm : public QDialog {
    Q_OBJECT
public:
    explicit TRentAddFm(const LoginContext& login, QWidget* parent = nullptr);

    QLineEdit* barcodeEdit() const { return m_barcode; }
    QLineEdit* titleEdit() const { return m_title; }
    NumberEdit* priceEdit() const { return m_price; }
    QLineEdit* authorEdit() const { return m_author; }
    QComboBox* placeBox() const { return m_place; }
    QComboBox* publisherBox() const { return m_publisher; }
    QComboBox* typeBox() const { return m_type; }
    QComboBox* supplierBox() const { return m_supplier; }
    QPlainTextEdit* synopsisEdit() const { return m_synopsis; }
    PictureBox* pictureBox() const { return m_picture; }
    QPushButton* choosePictureButton() const { return m_choosePicture; }
    QCheckBox* setBox() const { return m_isSet; }
    NumberEdit* countEdit() const { return m_count; }
    QCheckBox* clearAfterSaveBox() const { return m_clearAfterSave; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* closeButton() const { return m_close; }
    // The search code of the title as it stands.
    const QString& searchCode() const { return m_py; }

    void InitialData();
    void choosePicture(); // "选择图片": a file of at most 2 MB
    void clickPicture();  // a click on the picture box: a file of any size
    void save();          // "保存"

Q_SIGNALS:
    void copiesAdded(const QStringList& barcodes);

private:
    void fillChoices();

    const LoginContext& m_login;
    QString m_py;
    QLineEdit* m_barcode;
    QLineEdit* m_title;
    NumberEdit* m_price;
    QLineEdit* m_author;
    QComboBox* m_place;
    QComboBox* m_publisher;
    QComboBox* m_type;
    QComboBox* m_supplier;
    QPlainTextEdit* m_synopsis;
    PictureBox* m_picture;
    QPushButton* m_choosePicture;
    QCheckBox* m_isSet;
    NumberEdit* m_count;
    QCheckBox* m_clearAfterSave;
    QPushButton* m_save;
    QPushButton* m_close;
};
