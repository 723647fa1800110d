#pragma once

#include "catalogue/core/RentCatalogue.h"
#include "store/LoginContext.h"
#include "ui/WindowSlot.h"

#include <QDialog>

class NumberEdit;
class PictureBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TRentEditPicFm;

// 编辑: edits one copy of the rent catalogue with its picture. The window
// holds one pending edit of the row: "保存" saves it, "取消" drops it. The
// search code is shown but not made anew from an edited title.
class TRentEditFm : public QDialog {
    Q_OBJECT
public:
    TRentEditFm(const LoginContext& login, const RentCopy& copy, QWidget* parent = nullptr);
    ~TRentEditFm() override;

    QLineEdit* barcodeEdit() const { return m_barcode; }
    QLineEdit* titleEdit() const { return m_title; }
    QLineEdit* pyEdit() const { return m_py; }
    QComboBox* typeBox() const { return m_type; }
    QComboBox* placeBox() const { return m_place; }
    QComboBox* publisherBox() const { return m_publisher; }
    QComboBox* statusBox() const { return m_status; }
    QComboBox* supplierBox() const { return m_supplier; }
    NumberEdit* priceEdit() const { return m_price; }
    QLineEdit* authorEdit() const { return m_author; }
    QPlainTextEdit* synopsisEdit() const { return m_synopsis; }
    PictureBox* pictureBox() const { return m_picture; }
    QPushButton* enlargeButton() const { return m_enlarge; }
    QPushButton* changePictureButton() const { return m_changePicture; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* cancelButton() const { return m_cancel; }

    const RentCopy& asRead() const { return m_asRead; }
    // The row as the fields show it; nullopt (after a message) when the
    // barcode, title or price is empty or the price malformed.
    std::optional<RentCopy> edited() const;

    void save();           // "保存"
    void changePicture();  // "更改图片"
    void enlargePicture(); // "放大"

private:
    const LoginContext& m_login;
    RentCopy m_asRead;
    bool m_out = false; // out on rent when the window opened: the status stays
    QLineEdit* m_barcode;
    QLineEdit* m_title;
    QLineEdit* m_py;
    QComboBox* m_type;
    QComboBox* m_place;
    QComboBox* m_publisher;
    QComboBox* m_status;
    QComboBox* m_supplier;
    NumberEdit* m_price;
    QLineEdit* m_author;
    QPlainTextEdit* m_synopsis;
    PictureBox* m_picture;
    QPushButton* m_enlarge;
    QPushButton* m_changePicture;
    QPushButton* m_save;
    QPushButton* m_cancel;
    WindowSlot<TRentEditPicFm> m_viewer;
};
