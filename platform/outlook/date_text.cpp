#include "platform/outlook/date_text.h"

#include <cstdio>

namespace outlook {

std::string DateText(const std::string& iso) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (std::sscanf(iso.c_str(), "%d-%d-%dT%d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6) {
        return "1/1/4501";
    }
    int h12 = h % 12 == 0 ? 12 : h % 12;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%d/%d/%d %d:%02d:%02d %s", mo, d, y, h12, mi, s,
                  h < 12 ? "AM" : "PM");
    return buf;
}

}  // namespace outlook
