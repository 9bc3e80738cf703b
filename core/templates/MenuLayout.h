#pragma once
// The menu template described once: the scan, the build's shape check and its
// reader of original texts walk it with MenuWalker, the writer emits it with
// the field writers below, and the preview names option bits from here.
//
// Standard (MENUITEMTEMPLATEHEADER, MENUITEMTEMPLATE):
//   WORD version 0, WORD count of header bytes that follow (skipped)
//   entries: WORD options, WORD id (not for popups), zero-terminated UTF-16
//   text; a popup's entries follow it, and the last entry of every level
//   carries MF_END.
// Extended (MENUEX_TEMPLATE_HEADER, MENUEX_TEMPLATE_ITEM):
//   WORD version 1, WORD offset of the first item from the end of this
//   WORD, DWORD help id; items: DWORD type (MFT_*), DWORD state (MFS_*),
//   DWORD id, WORD flags (popup, end), zero-terminated UTF-16 text, then
//   DWORD alignment, and for popups a DWORD help id before their items.
//   The tree holds standard entries only: an extended template is
//   recognised, reported and left as the module has it.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "io/ByteReader.h"
#include "io/Result.h"

namespace quillon {

class ByteWriter;

inline constexpr std::uint16_t kStandardMenuVersion = 0;
inline constexpr std::uint16_t kExtendedMenuVersion = 1;

// The options WORD of a standard entry (MF_*); the tree keeps it as the
// item's options.
struct MenuOption {
    static constexpr std::uint16_t kGrayed = 0x0001;
    static constexpr std::uint16_t kDisabled = 0x0002;
    static constexpr std::uint16_t kBitmap = 0x0004;
    static constexpr std::uint16_t kChecked = 0x0008;
    static constexpr std::uint16_t kPopup = 0x0010;
    static constexpr std::uint16_t kMenuBarBreak = 0x0020;
    static constexpr std::uint16_t kMenuBreak = 0x0040;
    static constexpr std::uint16_t kEnd = 0x0080;
    static constexpr std::uint16_t kOwnerDraw = 0x0100;
    static constexpr std::uint16_t kSeparator = 0x0800;
    static constexpr std::uint16_t kHelp = 0x4000;
};

// An extended item's type (MFT_*), state (MFS_*) and flags WORD. Where a
// standard option has the same meaning it has the same bit.
struct MenuExType {
    static constexpr std::uint32_t kBitmap = MenuOption::kBitmap;
    static constexpr std::uint32_t kMenuBarBreak = MenuOption::kMenuBarBreak;
    static constexpr std::uint32_t kMenuBreak = MenuOption::kMenuBreak;
    static constexpr std::uint32_t kOwnerDraw = MenuOption::kOwnerDraw;
    static constexpr std::uint32_t kRadioCheck = 0x0200;
    static constexpr std::uint32_t kSeparator = MenuOption::kSeparator;
    static constexpr std::uint32_t kRightOrder = 0x2000;
    static constexpr std::uint32_t kRightJustify = MenuOption::kHelp;
};
struct MenuExState {
    static constexpr std::uint32_t kGrayed = MenuOption::kGrayed | MenuOption::kDisabled;
    static constexpr std::uint32_t kChecked = MenuOption::kChecked;
    static constexpr std::uint32_t kHilite = 0x0080;
    static constexpr std::uint32_t kDefault = 0x1000;
};
struct MenuExFlags {
    static constexpr std::uint16_t kPopup = 0x0001;
    static constexpr std::uint16_t kEnd = MenuOption::kEnd;
};

enum class MenuFormat { Standard, Extended };

struct MenuEntryView {
    std::uint16_t options = 0;
    std::uint16_t id = 0; // popups have none
    std::span<const std::uint8_t> text; // UTF-16LE units
    std::size_t depth = 0; // 0 for the top level, 1 inside its popups, ...
    bool IsPopup() const { return (options & MenuOption::kPopup) != 0; }
};

// Walks one template: Header() once, then Next() until it gives nothing (the
// top level's last entry was read). Every read is bounded by the template's
// bytes; a fault is an Error whose offset is where the walk stopped.
class MenuWalker {
public:
    static constexpr std::size_t kMaxDepth = 32;

    explicit MenuWalker(std::span<const std::uint8_t> bytes) : m_reader(bytes) {}

    // A standard template is positioned at its first entry; an extended one
    // is only recognised.
    Result<MenuFormat> Header();
    // The next entry in template order: a popup, then its entries.
    Result<std::optional<MenuEntryView>> Next();

private:
    Error Fault(std::string what) const;

    ByteReader m_reader;
    // For every open popup level: whether its popup ends its parent's level.
    std::vector<bool> m_openLevels;
    bool m_done = false;
};

// Every entry of a whole standard template, for readers that need all or
// nothing; an extended template is Unsupported.
Result<std::vector<MenuEntryView>> ReadStandardMenu(std::span<const std::uint8_t> bytes);

// A standard template's header, with no extra header bytes.
void WriteMenuHeader(ByteWriter& out);
// One standard entry; its ID is written unless `options` mark a popup.
void WriteMenuEntry(ByteWriter& out, std::uint16_t options, std::uint16_t id, std::u16string_view text);

} // namespace quillon
