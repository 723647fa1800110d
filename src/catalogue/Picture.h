#pragma once

#include "store/Result.h"

#include <QByteArray>
#include <QLabel>
#include <QString>
#include <optional>

class QWidget;

// Pictures of catalogue items: a chosen file (bitmap, JPEG, icon, PNG) of
// at most 2 MB is drawn into a bitmap, and that BMP stream is what is shown
// and stored. The bitmap is made no larger than the windows show it: a
// picture beyond 640 × 480 is scaled down to fit within that, keeping its
// aspect (the viewer opens 480 wide, the edit boxes are 150 × 180), so a
// stored picture stays under 1 MB whatever photo it came from.
namespace Picture {

inline constexpr qint64 MaxFileBytes = 2 * 1048576;
inline constexpr int MaxWidth = 640;
inline constexpr int MaxHeight = 480;

// "添加失败:图片文件不能超过2MB,您选择的文件大小为:" + size in MB ("0.00") + "MB".
QString tooLargeMessage(qint64 fileBytes);

// "选择图片" and "更改图片" refuse a file over 2 MB; a click on the picture
// box takes any size.
enum class SizeCheck { AtMost2MB, None };

// The file as a BMP stream, scaled down to fit 640 × 480; refused when not
// a picture, or larger than 2 MB when checked.
Result<QByteArray> loadAsBitmap(const QString& path, SizeCheck check = SizeCheck::AtMost2MB);

// Asks for a picture file and loads it; messages are shown here. nullopt
// when cancelled or refused.
std::optional<QByteArray> choose(QWidget* parent, SizeCheck check = SizeCheck::AtMost2MB);

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
