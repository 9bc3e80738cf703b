#pragma once
// The entry tree of a version resource. Each entry: WORD total length, WORD
// value length (UTF-16 units for text, bytes for binary), WORD type (1 text,
// 0 binary), zero-terminated UTF-16 key, padding to 4, the value, padding to
// 4, the children. Alignment is relative to the start of the resource.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

struct VersionEntry {
    std::u16string key;
    std::uint16_t valueLength = 0; // as stored
    std::uint16_t type = 0;
    std::span<const std::uint8_t> value; // clipped to the entry
    std::vector<VersionEntry> children;

    bool IsText() const { return type == 1; }
    // A text value up to its terminator.
    std::u16string Text() const;
};

// Parses the root entry and everything below it. A length that runs past its
// parent is cut to the parent; an entry of length 0 (or too short to hold its
// header) ends its level. Returns nothing when even the root is unreadable.
std::optional<VersionEntry> ParseVersionEntries(std::span<const std::uint8_t> resource,
                                                std::vector<std::string>* diagnostics = nullptr);

// Looks up a path such as "\\VarFileInfo\\Translation" below `root`: one key
// per level, compared without regard to ASCII case. "\\" is the root itself.
const VersionEntry* FindVersionEntry(const VersionEntry& root, std::u16string_view path);

} // namespace quillon
