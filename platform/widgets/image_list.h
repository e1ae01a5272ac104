#pragma once

#include <QIcon>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::widgets {

// The image list control: pictures of one size under unique keys, in the
// order they were added. As the control does by default, the mask colour
// (light grey, 192 192 192) of a picture shows as transparent. A tree shows
// its nodes' images from it.
class ImageList {
  public:
    // In pixels; pictures are scaled to this size.
    int ImageWidth() const { return width_; }
    void SetImageWidth(int pixels) { width_ = pixels; }
    int ImageHeight() const { return height_; }
    void SetImageHeight(int pixels) { height_ = pixels; }

    // ListImages.Add with LoadPicture(file): raises platform::Error when the
    // file is missing or holds no picture, or when the key is taken.
    void Add(const std::string& key, const std::filesystem::path& file);
    void Clear();
    int Count() const { return static_cast<int>(keys_.size()); }
    // The key of the picture at a position from 1.
    const std::string& Key(int index) const;
    // The picture of a key; a null icon for an unknown key.
    QIcon Icon(const std::string& key) const;

  private:
    int width_ = 16;
    int height_ = 16;
    std::vector<std::string> keys_;
    std::unordered_map<std::string, QIcon> icons_;
};

}  // namespace platform::widgets
