#pragma once
// Counts in messages: "1 dialog", "3 dialogs", "2 entries".

#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

// `count` and its noun, singular for one; the plural adds an "s" unless
// `plural` names it.
inline std::string CountOf(std::uint64_t count, std::string_view noun, std::string_view plural = {}) {
    std::string text = std::to_string(count) + ' ';
    if (count == 1) return text.append(noun);
    if (!plural.empty()) return text.append(plural);
    return text.append(noun).append("s");
}

} // namespace quillon
