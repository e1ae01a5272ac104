// Splits the input at its first NUL byte into pattern and text (all pattern
// when there is none), runs the matcher both ways of case and checks the
// count against the text length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/flexstring/flexstring.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\0');
    const std::string pattern = input.substr(0, cut);
    const std::string text = cut == std::string::npos ? std::string() : input.substr(cut + 1);
    for (bool caseSensitive : {false, true}) {
        platform::FlexString fs;
        fs.SetCaseSensitive(caseSensitive);
        fs.SetText(text);
        fs.SetPattern(pattern);
        const int error = fs.Error();
        const int count = fs.MatchCount();
        const bool known = error == 0 || (error >= 1 && error <= 4) || error == 6;
        if (!known || (error == 0) != (count > 0) ||
            static_cast<std::size_t>(count) > text.size() + 1) {
            std::abort();
        }
        std::size_t end = 0;
        for (int i = 0; i < count; ++i) {
            const std::size_t start = fs.MatchStart(i);
            if (start < end || start + fs.MatchLength(i) > text.size()) {
                std::abort();
            }
            end = start + fs.MatchLength(i);
            for (int t = 0; i < 8 && t < fs.TagCount(); ++t) {
                fs.TagText(i, t);
            }
        }
    }
    return 0;
}
