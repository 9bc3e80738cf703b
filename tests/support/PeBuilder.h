#pragma once
// Builds small PE32 modules in memory so tests and benchmarks can describe
// the resources they need instead of shipping a binary for every case: a
// resource-only DLL whose one ".rsrc" section holds a well-formed resource
// directory (sorted tables, aligned data), as a resource compiler and linker
// would lay it out. The template helpers write the classic (non-extended)
// layouts of string blocks, dialogs, menus and version resources.

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "pe/ResourceDirectory.h"

namespace quillon::testing {

struct BuiltResource {
    ResourceId type;
    ResourceId name;
    std::uint16_t language = 0;
    std::vector<std::uint8_t> bytes;
};

// A PE32 image whose resource directory holds exactly `resources`, in any
// input order. Throws std::invalid_argument when two share type, name and language.
std::vector<std::uint8_t> BuildPeWithResources(const std::vector<BuiltResource>& resources);

// The geometry of the image BuildPeWithResources writes.
inline constexpr std::uint32_t kBuiltFileAlignment = 0x200;
inline constexpr std::uint32_t kBuiltSectionAlignment = 0x1000;
inline constexpr std::uint32_t kBuiltResourceRva = 0x1000;
inline constexpr std::uint32_t kBuiltImageBase = 0x10000000;

// A string-table block: per slot a WORD count of UTF-16 units and the units.
std::vector<std::uint8_t> StringBlockBytes(const std::array<std::u16string, 16>& slots);

// A dialog with DS_SETFONT (8 pt "MS Sans Serif") whose controls are push
// buttons with the given IDs and titles.
using DialogControl = std::pair<std::uint16_t, std::u16string>;
std::vector<std::uint8_t> StandardDialogBytes(std::u16string caption, const std::vector<DialogControl>& controls);

// A menu of top-level popups holding plain items (ID 0 and no text: a
// separator). A level ends with an entry carrying the end bit, so an empty
// popup cannot be written (std::invalid_argument).
struct BuiltMenuItem {
    std::uint16_t id = 0;
    std::u16string text;
};
struct BuiltMenuPopup {
    std::u16string text;
    std::vector<BuiltMenuItem> items;
};
std::vector<std::uint8_t> StandardMenuBytes(const std::vector<BuiltMenuPopup>& popups);

// VS_VERSIONINFO: the fixed information, one StringFileInfo table keyed by
// language and code page and a VarFileInfo\Translation naming the same pair.
struct BuiltVersion {
    std::array<std::uint16_t, 4> fileVersion{1, 0, 0, 0};
    std::array<std::uint16_t, 4> productVersion{1, 0, 0, 0};
    std::uint16_t language = 0x0409;
    std::uint16_t codePage = 1200;
    std::vector<std::pair<std::u16string, std::u16string>> strings{
        {u"CompanyName", u"Quillon Test"},
        {u"FileDescription", u"Generated module"},
        {u"FileVersion", u"1.0.0.0"},
        {u"ProductName", u"Quillon"},
    };
};
std::vector<std::uint8_t> VersionBytes(const BuiltVersion& version = {});

} // namespace quillon::testing
