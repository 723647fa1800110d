#include "catalogue/Picture.h"

#include "ui/Prompt.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QMouseEvent>
#include <QPixmap>

namespace Picture {

QString tooLargeMessage(qint64 fileBytes) {
    return QStringLiteral("添加失败:图片文件不能超过2MB,您选择的文件大小为:") +
           QString::number(double(fileBytes) / 1048576.0, 'f', 2) + QStringLiteral("MB");
}

Result<QByteArray> loadAsBitmap(const QString& path, SizeCheck check) {
    const QFileInfo file(path);
    if (!file.isFile())
        return Error{QStringLiteral("图片文件不存在: ") + path};
    if (check == SizeCheck::AtMost2MB && file.size() > MaxFileBytes)
        return Error{tooLargeMessage(file.size())};
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize bound(MaxWidth, MaxHeight);
    // decoded at the size kept where the format can (a JPEG decodes a
    // quarter or an eighth at once), so a large photo never lies whole in
    // memory
    const QSize full = reader.size();
    if (full.isValid() && (full.width() > MaxWidth || full.height() > MaxHeight))
        reader.setScaledSize(full.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    QImage image = reader.read();
    if (image.isNull())
        return Error{QStringLiteral("不能读取图片文件: ") + path};
    if (image.width() > MaxWidth || image.height() > MaxHeight)
        image = image.scaled(bound, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // drawn into a plain bitmap, whatever the file's kind
    QByteArray bitmap;
    QBuffer out(&bitmap);
    out.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB32).save(&out, "BMP"))
        return Error{QStringLiteral("不能转换图片文件: ") + path};
    return bitmap;
}

std::optional<QByteArray> choose(QWidget* parent, SizeCheck check) {
    const QString path = Prompt::openFileName(
        parent, QStringLiteral("选择图片"),
        QStringLiteral("图片 (*.bmp *.jpg *.jpeg *.ico *.png *.gif);;所有文件 (*)"));
    if (path.isEmpty())
        return std::nullopt;
    auto bitmap = loadAsBitmap(path, check);
    if (!bitmap) {
        Prompt::information(parent, bitmap.error());
        return std::nullopt;
    }
    return bitmap.value();
}

} // namespace Picture

PictureBox::PictureBox(QWidget* parent) : QLabel(parent) {
    setFrameShape(QFrame::StyledPanel);
    setAlignment(Qt::AlignCenter);
    setScaledContents(true);
    setMinimumSize(60, 60);
    setText(QStringLiteral("图片"));
}

void PictureBox::setPicture(const QByteArray& bitmap) {
    m_picture = bitmap;
    QPixmap pixmap;
    if (!bitmap.isEmpty() && pixmap.loadFromData(bitmap)) {
        setPixmap(pixmap);
    } else {
        setPixmap(QPixmap());
        setText(QStringLiteral("图片"));
    }
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
    QLabel::mouseReleaseEvent(event);
}
