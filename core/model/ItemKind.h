#pragma once
// The kinds of translatable items and everything that names them: the codes
// the dictionary file stores, the names the command line, the JSON output and
// the views show, and the archive class names of the project file. Adding a
// kind means adding a row to the table in ItemKind.cpp.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quillon {

// The values are the codes stored in dictionary files; do not renumber.
enum class ItemKind : std::int32_t {
    Common = -1, // an item that is only a container (the tree's roots)
    All = 0,     // dictionary entries valid for every kind
    String = 1,
    Control = 2,
    Dialog = 3,
    PopupMenu = 4,
    MenuItem = 5,
    Version = 6,
};

// The highest code a dictionary entry can have.
inline constexpr ItemKind kLastEntryKind = ItemKind::Version;

struct ItemKindInfo {
    ItemKind kind;
    std::string_view name; // "STRING"...; All shows as "COMMON"
};

// Every kind a dictionary entry can have, All first, in code order.
std::span<const ItemKindInfo> EntryKinds();

constexpr std::uint16_t KindCode(ItemKind kind) { return static_cast<std::uint16_t>(kind); }
// The kind of a stored dictionary code, none for a code no entry can have.
std::optional<ItemKind> KindFromCode(std::uint32_t code);

// Menu entries and controls: their texts mark a hotkey with '&'.
constexpr bool KindHasHotkey(ItemKind kind) {
    return kind == ItemKind::MenuItem || kind == ItemKind::PopupMenu || kind == ItemKind::Control;
}

// "STRING", "CONTROL"...; "COMMON" for All and for Common.
std::string_view KindName(ItemKind kind);
// The kind a user means by a name ("MENUITEM") or a code ("5"); none otherwise.
std::optional<ItemKind> KindFromText(std::string_view text);

} // namespace quillon
