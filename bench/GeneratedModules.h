#pragma once
// What the benchmarks work on: modules generated in memory, the projects
// scanned from them, and a folder for the files they write. A module the
// size of a big application's UI would otherwise have to live in the
// repository, and every benchmark would need its own.
//
// Two kinds of texts: numbered ones ("Message 12: done.") for the scan and
// the build, where only the sizes matter, and texts of the lengths a real UI
// has for the project and Auto Translate benchmarks, where repeated texts
// and their lengths decide how the dictionary is used.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/PeBuilder.h"

namespace quillon {
class CProject;
class CResourceInfo;
class CResourceItem;
} // namespace quillon

namespace quillon::bench {

using testing::BuiltMenuPopup;
using testing::BuiltResource;
using testing::BuiltVersion;
using testing::DialogControl;

inline constexpr std::uint16_t kLanguage = 0x0409;       // of the generated modules
inline constexpr std::uint16_t kTargetLanguage = 0x0407; // of their translations

// ---------------------------------------------------------------------------
// Modules

// How many of each resource a module holds. Strings have IDs from 0, sixteen
// to a block; dialogs have IDs from 100, menus from 1.
struct UiSize {
    int strings = 0;
    int dialogs = 0;
    int controlsPerDialog = 8;
    int menus = 0;
    int popupsPerMenu = 5;
    int itemsPerPopup = 12; // one of them a separator

    // Items a scan adds to the tree: strings, dialogs and their controls,
    // each menu's own node, its popups and items.
    constexpr std::uint64_t Items() const {
        return std::uint64_t(strings) + std::uint64_t(dialogs) * (1 + controlsPerDialog) +
               std::uint64_t(menus) * (1 + popupsPerMenu * (1 + itemsPerPopup));
    }
};

// A big application's UI: about 61,000 items in a module of about 3 MB.
// The strings fill 1875 blocks.
inline constexpr UiSize kLargeUi{.strings = 30000, .dialogs = 2000, .menus = 200};
// The interface of an engine or an installer: about 70 KB and 100 KB of
// resources beside far larger code and data (WriteLargeModule).
inline constexpr UiSize kEngineUi{.strings = 800, .dialogs = 32, .menus = 4};
inline constexpr UiSize kInstallerUi{.strings = 1400, .dialogs = 60, .menus = 7};

// About 100,000 items. String IDs are 16-bit, so a module cannot hold many
// more strings than this; the rest of the items are dialogs and menus.
inline constexpr UiSize kProjectUi{.strings = 64000, .dialogs = 3000, .menus = 140};

// The texts of a module, by the number of the resource and of the control or
// item in it. A second release of a module changes a few of them, so every
// one can be overridden.
class UiTexts {
public:
    virtual ~UiTexts() = default;

    // The string with ID `id`; an empty one leaves its slot empty, as a
    // string the module does not have.
    virtual std::u16string String(int id) const = 0;
    virtual std::u16string ControlTitle(int dialog, int control) const = 0;
    virtual std::u16string MenuItem(int menu, int popup, int item) const = 0;

    virtual bool HasDialog(int /*dialog*/) const { return true; }
    virtual bool HasMenu(int /*menu*/) const { return true; }
    virtual std::u16string Caption(int dialog) const;
    // `count` push buttons with IDs from 1000.
    virtual std::vector<DialogControl> Controls(int dialog, int count) const;
    // `count` entries, the middle one a separator; a command's ID is
    // 10000 + 100 * popup + its position.
    virtual BuiltMenuPopup Popup(int menu, int popup, int count) const;
};

// Texts that are little more than their numbers.
class NumberedTexts : public UiTexts {
public:
    std::u16string String(int id) const override;
    std::u16string ControlTitle(int dialog, int control) const override;
    std::u16string MenuItem(int menu, int popup, int item) const override;
};

// Texts of the lengths a real UI has: a few words, a sentence, a paragraph.
// Many of them repeat from dialog to dialog, as "Cancel" does.
inline constexpr std::array<std::u16string_view, 6> kMessages{
    u"Done.",
    u"The file could not be saved.",
    u"Do you want to save the changes to the document before closing?",
    u"Connecting to the server...",
    u"Retry",
    u"An error occurred while reading the settings:\r\nthe configuration file is damaged and will be "
    u"replaced with the defaults.",
};

class ApplicationTexts : public UiTexts {
public:
    std::u16string String(int id) const override;
    std::u16string ControlTitle(int dialog, int control) const override;
    std::u16string MenuItem(int menu, int popup, int item) const override;
};

// A module holding the string tables, dialogs and menus of `size` in
// `texts`, then `extra`, then `version`, all in kLanguage.
std::vector<std::uint8_t> BuildModule(const UiSize& size, const UiTexts& texts, const BuiltVersion& version = {},
                                      std::vector<BuiltResource> extra = {});

// A module as large applications ship: headers, a code section of `code`
// bytes, the resources, then an overlay of `overlay` bytes. Only
// `codeData` bytes at the start of the code and `overlayData` bytes at the
// end of the overlay are written (noise); the rest are holes where the file
// system has them, so a 2 GB module costs little disk.
struct LargeModuleShape {
    std::uint64_t code = 0;
    std::uint64_t codeData = 0;
    std::uint64_t overlay = 0;
    std::uint64_t overlayData = 0;
};
// Writes the module to `path`; an error message, or empty.
std::string WriteLargeModule(const std::string& path, const std::vector<BuiltResource>& resources,
                             const LargeModuleShape& shape);
// The resources BuildModule puts into a module of `size`.
std::vector<BuiltResource> ModuleResources(const UiSize& size, const UiTexts& texts,
                                           const BuiltVersion& version = {});

// Bytes that do not compress or repeat, as code and packed data do not.
std::vector<std::uint8_t> NoiseBytes(std::size_t size, std::uint32_t seed);

// ---------------------------------------------------------------------------
// Projects

// Items a scan adds to the tree, as UiSize::Items counts them.
std::uint64_t Items(const CResourceInfo& info);

// Empty when the tree holds `expected` items, else what is wrong.
std::string CheckItems(const CResourceInfo& info, std::uint64_t expected);

// Scans `image` into a new project as creating a project does, without the
// detour through a file. `configure` makes the settings first, since the
// code page of the texts follows the target language. Null, with `error`
// set, when the module does not open or does not scan.
std::unique_ptr<CProject> ExtractProject(std::vector<std::uint8_t> image,
                                         const std::function<void(CProject&)>& configure, std::string& error);

// The project of kProjectUi in ApplicationTexts, module "app.dll", target
// kTargetLanguage, nothing translated; null with `error` set when the scan
// does not give every item.
std::unique_ptr<CProject> ExtractApplicationProject(std::string& error);

// Translates the translatable items `chosen` picks by their position among
// them (from 0) to "DE " and the text, in the order strings, dialogs, menus,
// each item before its children; `translated` sees each one right after.
// Sets the tree's count of translated items.
void TranslateSome(CResourceInfo& info, const std::function<bool(std::uint64_t position)>& chosen,
                   const std::function<void(CResourceItem&)>& translated = {});

// ---------------------------------------------------------------------------
// Files

class ScratchDir;

// A project of kProjectUi (about 100,000 items) saved with its module and a
// 200,000-entry dictionary: four items in five translated, the dictionary
// knowing every translation and as many glossary texts again.
struct SavedProject {
    std::string path; // of the .prj; the module and .dic lie beside it
    std::uint64_t items = 0;
    std::uint64_t dictionaryEntries = 0;
    std::string error; // empty when saved
};
SavedProject SaveLargeProject(const ScratchDir& folder, const std::string& name);

// A folder for the files of one run, removed at exit.
class ScratchDir {
public:
    ScratchDir();
    // `path` is an existing folder that is kept.
    explicit ScratchDir(std::string path) : m_path(std::move(path)), m_keep(true) {}
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    bool Ok() const { return !m_path.empty(); }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
    bool m_keep = false;
};

// The folder of this run, made on first use under the temporary folder.
const ScratchDir& Scratch();

// 0 when there is no such file.
std::uint64_t FileSize(const std::string& path);

} // namespace quillon::bench
