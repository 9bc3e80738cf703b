#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quillon {

// The 128-bit XXH3 hash of `bytes` as 32 lowercase hex digits. It tells a
// file from a changed or damaged copy of it; it is no defence against someone
// who crafts a collision, which nothing here needs.
std::string ContentHashHex(std::span<const std::uint8_t> bytes);

} // namespace quillon
