#include "platform/ostrevane/string_list.h"

#include "platform/error.h"

namespace ostrevane {

void StringList::SetDelimiter(const std::string& delimiter) {
    delimiter_ = delimiter;
    split_ = false;
}

void StringList::SetText(const std::string& text) {
    text_ = text;
    split_ = false;
}

void StringList::Split() const {
    if (split_) {
        return;
    }
    pieces_.clear();
    if (!text_.empty()) {
        if (delimiter_.empty()) {
            pieces_.push_back(text_);
        } else {
            std::size_t start = 0;
            for (;;) {
                std::size_t at = text_.find(delimiter_, start);
                if (at == std::string::npos) {
                    pieces_.push_back(text_.substr(start));
                    break;
                }
                pieces_.push_back(text_.substr(start, at - start));
                start = at + delimiter_.size();
            }
        }
    }
    split_ = true;
}

int StringList::Count() const {
    Split();
    return static_cast<int>(pieces_.size());
}

std::string StringList::Item(int i) const {
    Split();
    if (i < 1 || i > static_cast<int>(pieces_.size())) {
        throw platform::Error("StringList: no item " + std::to_string(i) + " of " +
                              std::to_string(pieces_.size()));
    }
    return pieces_[static_cast<std::size_t>(i - 1)];
}

}  // namespace ostrevane
