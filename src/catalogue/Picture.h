#pragma once

#include "store/Result.h"

#include <QByteArray>
#include <QLabel>
#include <QString>
#include <optional>

class QWidget;

// Pictures of catalogue items: a chosen file (bitmap, JPEG, icon, PNG) of
// at most 2 MB is drawn into a bitmap, and that BMP stream is what is shown
// and stored.
namespace Picture {

inline constexpr qint64 MaxFileBytes = 2 * 1048576;

// "添加失败:图片文件不能超过2MB,您选择的文件大小为:" + size in MB ("0.00") + "MB".
QString tooLargeMessage(qint64 fileBytes);

// The file as a BMP stream; refused when larger than 2 MB or not a picture.
Result<QByteArray> loadAsBitmap(const QString& path);

// Asks for a picture file and loads it; messages are shown here. nullopt
// when cancelled or refused.
std::optional<QByteArray> choose(QWidget* parent);

} // namespace Picture

// A box showing a stored picture stretched over it; a click emits clicked().
class PictureBox : public QLabel {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    void setPicture(const QByteArray& bitmap);
    const QByteArray& picture() const { return m_picture; }

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QByteArray m_picture;
};
