#include "platform/qt/picture_image.h"

#include <QPixmap>
#include <cstring>

namespace kado::qtview {

QImage ToImage(const forms::Picture& picture) {
    if (picture.Empty()) return {};
    const auto w = static_cast<std::size_t>(picture.width);
    const auto h = static_cast<std::size_t>(picture.height);
    // A picture whose pixel list is shorter than its size would be read past its end.
    if (picture.argb.size() / w < h) return {};
    QImage image(picture.width, picture.height, QImage::Format_ARGB32);
    if (image.isNull()) return {};
    for (std::size_t row = 0; row < h; ++row) {
        std::memcpy(image.scanLine(static_cast<int>(row)), picture.argb.data() + row * w, w * sizeof(std::uint32_t));
    }
    return image;
}

QIcon ToIcon(const forms::Picture& picture) {
    const QImage image = ToImage(picture);
    if (image.isNull()) return {};
    return QIcon(QPixmap::fromImage(image));
}

}  // namespace kado::qtview
