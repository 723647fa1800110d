#pragma once

#include <QDialog>

class PictureBox;

// Pic: a copy's picture, large. It spans the window's width with the
// window's height less 40 pixels, following every resize; a click on the
// picture closes the viewer.
class TRentEditPicFm : public QDialog {
    Q_OBJECT
public:
    explicit TRentEditPicFm(const QByteArray& picture, QWidget* parent = nullptr);
    PictureBox* pictureBox() const { return m_picture; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    PictureBox* m_picture;
};
