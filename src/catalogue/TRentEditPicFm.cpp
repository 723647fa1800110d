#include "catalogue/TRentEditPicFm.h"

#include "catalogue/Picture.h"

#include <QResizeEvent>

TRentEditPicFm::TRentEditPicFm(const QByteArray& picture, QWidget* parent)
    : QDialog(parent), m_picture(new PictureBox(this)) {
    setWindowTitle(QStringLiteral("Pic"));
    m_picture->setPicture(picture);
    connect(m_picture, &PictureBox::clicked, this, &QDialog::accept);
    resize(480, 520);
}

void TRentEditPicFm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    m_picture->setGeometry(0, 0, width(), qMax(0, height() - 40));
}
