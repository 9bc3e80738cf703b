#include "io/Utf8.h"

namespace quillon {

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = NextUtf8(text, i).length;
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string ValidUtf8(std::string text) {
    if (IsValidUtf8(text)) return text;
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = NextUtf8(text, i).length;
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    return out;
}

} // namespace quillon
