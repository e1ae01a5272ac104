#include "platform/widgets/image_list.h"

#include <QBitmap>
#include <QImage>
#include <QPixmap>

#include "platform/error.h"

namespace platform::widgets {

void ImageList::Add(const std::string& key, const std::filesystem::path& file) {
    if (!key.empty() && icons_.count(key)) {
        throw platform::Error("Key is not unique in collection");
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        throw platform::Error("File not found: '" + file.string() + "'");
    }
    QImage image(QString::fromStdString(file.string()));
    if (image.isNull()) {
        throw platform::Error("Invalid picture: '" + file.string() + "'");
    }
    if (image.width() != width_ || image.height() != height_) {
        image = image.scaled(width_, height_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QPixmap picture = QPixmap::fromImage(image);
    picture.setMask(picture.createMaskFromColor(QColor(192, 192, 192), Qt::MaskInColor));
    keys_.push_back(key);
    icons_[key] = QIcon(picture);
}

void ImageList::Clear() {
    keys_.clear();
    icons_.clear();
}

const std::string& ImageList::Key(int index) const {
    if (index < 1 || index > Count()) {
        throw platform::Error("Index out of bounds");
    }
    return keys_[static_cast<std::size_t>(index - 1)];
}

QIcon ImageList::Icon(const std::string& key) const {
    auto it = icons_.find(key);
    return it == icons_.end() ? QIcon() : it->second;
}

}  // namespace platform::widgets
