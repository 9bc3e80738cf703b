#pragma once
// Parsers that turn one resource template into items of the resource tree.
// Templates come from untrusted modules: every read is bounded by the
// resource's size, and a template that runs past its end keeps what was read
// before the fault. Faults are recorded in `diagnostics`.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "extract/TextRules.h"
#include "model/ChildIndex.h"
#include "model/ResourceInfo.h"
#include "pe/ResourceModule.h"

namespace quillon {

// A root of the tree being filled, with its look-up index.
struct TreeRoot {
    explicit TreeRoot(CResourceItem& root) : item(root), index(root) {}
    CResourceItem& item;
    ChildIndex index;
};

struct ParseContext {
    TemplateText& text;
    std::vector<std::string>& diagnostics;
    // Where the faults of a resource that was read in part are kept by its path.
    ScanWarnings* marks = nullptr;
};

// Adds one CStringEntry per non-empty slot of string-table block `block`
// (IDs (block-1)*16 .. block*16-1) to `strings`. Returns the number of slots
// visited (always 16) for progress.
void ParseStringBlock(const StringBlockView& slots, std::uint16_t block, TreeRoot& strings, ParseContext& context);

// Reads menu `id` into `menus`: a top node for the resource, then its popups
// and items in template order. False when the template is not a standard
// menu or is damaged (the top node and what was read before stay).
bool ParseMenu(std::span<const std::uint8_t> resource, std::uint16_t id, TreeRoot& menus, ParseContext& context);
// Whether ParseMenu reads the whole template (a standard menu, undamaged),
// without building anything.
bool MenuTemplateIsReadable(std::span<const std::uint8_t> resource);

// Reads dialog `id` (standard or extended template) into `dialogs`: an entry
// with the caption and a copy of the template, and one item per control.
bool ParseDialog(std::span<const std::uint8_t> resource, std::uint16_t id, TreeRoot& dialogs, ParseContext& context);

// Reads a version resource into `info`: the fixed information and one block
// per entry below the root.
bool ParseVersion(std::span<const std::uint8_t> resource, CVersionInfo& info, ParseContext& context);

// Buffer sizes of the platform's conversions, which cut longer texts.
inline constexpr std::size_t kStringBuffer = 2048;
inline constexpr std::size_t kMenuTextBuffer = 200;
inline constexpr std::size_t kDialogTextBuffer = 500;

} // namespace quillon
