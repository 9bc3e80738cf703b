#include "model/ItemKind.h"

#include <array>
#include <charconv>

namespace quillon {

namespace {
constexpr std::array<ItemKindInfo, 7> kEntryKinds{{
    {ItemKind::All, "COMMON"},
    {ItemKind::String, "STRING"},
    {ItemKind::Control, "CONTROL"},
    {ItemKind::Dialog, "DIALOG"},
    {ItemKind::PopupMenu, "POPUPMENU"},
    {ItemKind::MenuItem, "MENUITEM"},
    {ItemKind::Version, "VERSION"},
}};
} // namespace

std::span<const ItemKindInfo> EntryKinds() { return kEntryKinds; }

std::optional<ItemKind> KindFromCode(std::uint32_t code) {
    if (code >= kEntryKinds.size()) return std::nullopt;
    return kEntryKinds[code].kind;
}

std::string_view KindName(ItemKind kind) {
    if (kind == ItemKind::Common) return "COMMON";
    auto code = static_cast<std::int32_t>(kind);
    if (code < 0 || code >= static_cast<std::int32_t>(kEntryKinds.size())) return "UNKNOWN";
    return kEntryKinds[static_cast<std::size_t>(code)].name;
}

std::optional<ItemKind> KindFromText(std::string_view text) {
    for (const ItemKindInfo& info : kEntryKinds)
        if (text == info.name) return info.kind;
    std::uint32_t code = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), code);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return KindFromCode(code);
}

} // namespace quillon
