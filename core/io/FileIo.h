#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "io/Result.h"

namespace quillon {

// Modules and projects are read whole; nothing we open legitimately comes
// near this, and it keeps a hostile file from exhausting memory.
inline constexpr std::uint64_t kMaxInputFileSize = 1ull << 30;

Result<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path);

// Writes `bytes` to a temporary file in the folder of `path`, flushes it to
// disk and renames it over `path`, so a crash never leaves a half-written file.
// When `path` is a symbolic link, the file it leads to is replaced and the
// link stays.
Status WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

bool FileExists(const std::string& path);

} // namespace quillon
