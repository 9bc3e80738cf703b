#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quillon {

// The SHA-256 of `bytes` as 64 lowercase hex digits.
std::string Sha256Hex(std::span<const std::uint8_t> bytes);

} // namespace quillon
