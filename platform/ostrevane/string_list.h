#pragma once

#include <string>
#include <vector>

namespace ostrevane {

// A text cut into pieces at a delimiter. The pieces follow the current Text
// and Delimiter, whichever was set last, so setting the text before the
// delimiter works as well as the other way round. Pieces are not trimmed;
// empty pieces count. An empty text has no pieces.
class StringList {
  public:
    const std::string& Delimiter() const { return delimiter_; }
    void SetDelimiter(const std::string& delimiter);
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);
    int Count() const;
    // Piece i, counting from 1; raises platform::Error outside 1..Count.
    std::string Item(int i) const;

  private:
    void Split() const;
    std::string delimiter_ = ",";
    std::string text_;
    mutable std::vector<std::string> pieces_;
    mutable bool split_ = true;
};

}  // namespace ostrevane
