#include "GeneratedModules.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <filesystem>
#include <system_error>
#include <utility>

#include "extract/ResourceExtractor.h"
#include "io/ByteReader.h"
#include "io/ByteWriter.h"
#include "io/FileIo.h"
#include "model/ResourceInfo.h"
#include "pe/ResourceModule.h"
#include "pe/ResourceUpdate.h"
#include "project/NewProject.h"
#include "project/Project.h"

namespace quillon::bench {

namespace {

std::u16string Number(int n) {
    std::string digits = std::to_string(n);
    return {digits.begin(), digits.end()};
}

constexpr std::array<std::u16string_view, 8> kControlTitles{
    u"&OK",          u"Cancel", u"&Apply", u"Show &hidden files", u"Use the system &proxy settings",
    u"Check for &updates automatically", u"&Advanced...", u"Help",
};

std::vector<BuiltResource> StringBlocks(const UiSize& size, const UiTexts& texts) {
    std::vector<BuiltResource> out;
    for (int first = 0; first < size.strings; first += 16) {
        std::array<std::u16string, 16> slots;
        bool any = false;
        for (int slot = 0; slot < 16 && first + slot < size.strings; ++slot) {
            slots[static_cast<std::size_t>(slot)] = texts.String(first + slot);
            any = any || !slots[static_cast<std::size_t>(slot)].empty();
        }
        // A module has no block for sixteen strings it does not have.
        if (!any) continue;
        auto block = static_cast<std::uint16_t>(first / 16 + 1);
        out.push_back({ResourceId::Integer(6), ResourceId::Integer(block), kLanguage,
                       testing::StringBlockBytes(slots)});
    }
    return out;
}

std::vector<BuiltResource> Dialogs(const UiSize& size, const UiTexts& texts) {
    std::vector<BuiltResource> out;
    for (int d = 0; d < size.dialogs; ++d) {
        if (!texts.HasDialog(d)) continue;
        out.push_back({ResourceId::Integer(5), ResourceId::Integer(static_cast<std::uint16_t>(100 + d)), kLanguage,
                       testing::StandardDialogBytes(texts.Caption(d), texts.Controls(d, size.controlsPerDialog))});
    }
    return out;
}

std::vector<BuiltResource> Menus(const UiSize& size, const UiTexts& texts) {
    std::vector<BuiltResource> out;
    for (int m = 0; m < size.menus; ++m) {
        if (!texts.HasMenu(m)) continue;
        std::vector<BuiltMenuPopup> popups;
        for (int p = 0; p < size.popupsPerMenu; ++p) popups.push_back(texts.Popup(m, p, size.itemsPerPopup));
        out.push_back({ResourceId::Integer(4), ResourceId::Integer(static_cast<std::uint16_t>(1 + m)), kLanguage,
                       testing::StandardMenuBytes(popups)});
    }
    return out;
}

void TranslateItem(CResourceItem& item, const std::function<bool(std::uint64_t)>& chosen,
                   const std::function<void(CResourceItem&)>& translated, std::uint64_t& position,
                   std::uint32_t& count) {
    if (item.IsTranslatable() && chosen(position++)) {
        item.SetTranslation("DE " + item.GetText(), item.m_chHotkey);
        ++count;
        if (translated) translated(item);
    }
    for (auto& child : item.GetChildren()) TranslateItem(*child, chosen, translated, position, count);
}

} // namespace

// ---------------------------------------------------------------------------
// Modules

std::u16string UiTexts::Caption(int dialog) const { return u"Settings page " + Number(dialog); }

std::vector<DialogControl> UiTexts::Controls(int dialog, int count) const {
    std::vector<DialogControl> controls;
    for (int c = 0; c < count; ++c) controls.push_back({static_cast<std::uint16_t>(1000 + c), ControlTitle(dialog, c)});
    return controls;
}

BuiltMenuPopup UiTexts::Popup(int menu, int popup, int count) const {
    BuiltMenuPopup out{u"&Popup " + Number(popup), {}};
    for (int i = 0; i < count; ++i) {
        if (i == count / 2)
            out.items.push_back({0, u""});
        else
            out.items.push_back({static_cast<std::uint16_t>(10000 + 100 * popup + i), MenuItem(menu, popup, i)});
    }
    return out;
}

std::u16string NumberedTexts::String(int id) const {
    return u"Message " + Number(id) + (id % 8 == 0 ? u":\r\nthe file could not be saved." : u": done.");
}

std::u16string NumberedTexts::ControlTitle(int dialog, int control) const {
    return u"&Option " + Number(control) + u" of page " + Number(dialog);
}

std::u16string NumberedTexts::MenuItem(int /*menu*/, int /*popup*/, int item) const {
    return u"&Command " + Number(item) + u"\tCtrl+" + Number(item);
}

std::u16string ApplicationTexts::String(int id) const {
    return std::u16string(kMessages[static_cast<std::size_t>(id) % kMessages.size()]) + u" (" + Number(id) + u")";
}

// Only one control of a dialog names its page, so the others repeat in
// every dialog.
std::u16string ApplicationTexts::ControlTitle(int dialog, int control) const {
    std::u16string title(kControlTitles[static_cast<std::size_t>(control) % kControlTitles.size()]);
    if (control == 3) title += u" on page " + Number(dialog);
    return title;
}

std::u16string ApplicationTexts::MenuItem(int menu, int /*popup*/, int item) const {
    return u"&Command " + Number(item) + u" of menu " + Number(menu) + u"\tCtrl+" + Number(item);
}

std::vector<BuiltResource> ModuleResources(const UiSize& size, const UiTexts& texts, const BuiltVersion& version) {
    std::vector<BuiltResource> resources = StringBlocks(size, texts);
    for (auto* generate : {Dialogs, Menus})
        for (auto& resource : generate(size, texts)) resources.push_back(std::move(resource));
    resources.push_back({ResourceId::Integer(16), ResourceId::Integer(1), kLanguage, testing::VersionBytes(version)});
    return resources;
}

std::vector<std::uint8_t> BuildModule(const UiSize& size, const UiTexts& texts, const BuiltVersion& version,
                                      std::vector<BuiltResource> extra) {
    std::vector<BuiltResource> resources = ModuleResources(size, texts, version);
    auto versionResource = std::move(resources.back());
    resources.pop_back();
    for (auto& resource : extra) resources.push_back(std::move(resource));
    resources.push_back(std::move(versionResource));
    return testing::BuildPeWithResources(resources);
}

std::vector<std::uint8_t> NoiseBytes(std::size_t size, std::uint32_t seed) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<std::uint8_t>(state);
    }
    return bytes;
}

namespace {

// Writes `length` bytes of noise at `offset` in pieces of 16 MiB.
bool WriteNoise(int fd, std::uint64_t offset, std::uint64_t length, std::uint32_t seed) {
    constexpr std::uint64_t kPiece = 16ull << 20;
    for (std::uint64_t done = 0; done < length; done += kPiece) {
        auto piece = NoiseBytes(static_cast<std::size_t>(std::min(kPiece, length - done)), seed++);
        if (!WriteAt(fd, offset + done, piece)) return false;
    }
    return true;
}

} // namespace

// The resource-only image of BuildPeWithResources gets a code section in
// front of its resource section (the header table has room for one more
// entry); the resources are laid out again for their new RVA.
std::string WriteLargeModule(const std::string& path, const std::vector<BuiltResource>& resources,
                             const LargeModuleShape& shape) {
    std::vector<std::uint8_t> image = testing::BuildPeWithResources(resources);
    auto update = ResourceUpdate::Begin(image);
    if (!update) return update.GetError().Describe();
    std::uint64_t code = AlignUp(shape.code, testing::kBuiltSectionAlignment);
    auto rva = static_cast<std::uint32_t>(testing::kBuiltResourceRva + code);
    std::vector<std::uint8_t> blob = SerializeResources(update.Value().Resources(), rva);
    std::uint64_t headers = testing::kBuiltFileAlignment, rawBlob = AlignUp(blob.size(), testing::kBuiltFileAlignment);

    std::uint32_t pe = *ByteReader::U32At(image, 0x3C), optional = pe + 24;
    std::uint32_t table = optional + *ByteReader::U16At(image, pe + 20);
    if (table + 80 > headers) return "no room for a second section header";
    std::copy_n(image.begin() + table, 40, image.begin() + table + 40); // .rsrc becomes the second
    std::span<std::uint8_t> text(image.data() + table, 40), rsrc(image.data() + table + 40, 40);
    std::copy_n(".text\0\0\0", 8, text.begin());
    StoreU32(text, 8, static_cast<std::uint32_t>(code));
    StoreU32(text, 12, testing::kBuiltResourceRva);
    StoreU32(text, 16, static_cast<std::uint32_t>(code));
    StoreU32(text, 20, static_cast<std::uint32_t>(headers));
    StoreU32(text, 36, 0x60000020); // code, executable, readable
    StoreU32(rsrc, 8, static_cast<std::uint32_t>(blob.size()));
    StoreU32(rsrc, 12, rva);
    StoreU32(rsrc, 16, static_cast<std::uint32_t>(rawBlob));
    StoreU32(rsrc, 20, static_cast<std::uint32_t>(headers + code));
    StoreU16(image, pe + 6, 2);                                        // NumberOfSections
    StoreU32(image, optional + 4, static_cast<std::uint32_t>(code));   // SizeOfCode
    StoreU32(image, optional + 56, static_cast<std::uint32_t>(AlignUp(rva + blob.size(), testing::kBuiltSectionAlignment)));
    StoreU32(image, optional + 96 + 16, rva);                          // the resource directory
    StoreU32(image, optional + 96 + 20, static_cast<std::uint32_t>(blob.size()));

    std::uint64_t size = headers + code + rawBlob + shape.overlay;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return "cannot create " + path;
    bool written = ::ftruncate(fd, static_cast<off_t>(size)) == 0 &&
                   WriteAt(fd, 0, std::span(image).first(headers)) &&
                   WriteNoise(fd, headers, std::min(shape.codeData, code), 1) && WriteAt(fd, headers + code, blob) &&
                   WriteNoise(fd, size - std::min(shape.overlayData, shape.overlay), std::min(shape.overlayData, shape.overlay), 99);
    ::close(fd);
    return written ? std::string() : "cannot write " + path;
}

// ---------------------------------------------------------------------------
// Projects

std::uint64_t Items(const CResourceInfo& info) {
    return std::uint64_t{info.m_nStrings} + info.m_nDialogs + info.m_nControls + info.m_nPopups + info.m_nMenuItems;
}

std::string CheckItems(const CResourceInfo& info, std::uint64_t expected) {
    std::uint64_t found = Items(info);
    if (found == expected) return {};
    return "scan found " + std::to_string(found) + " items, expected " + std::to_string(expected);
}

std::unique_ptr<CProject> ExtractProject(std::vector<std::uint8_t> image,
                                         const std::function<void(CProject&)>& configure, std::string& error) {
    auto module = ResourceModule::FromBytes(std::move(image));
    if (!module) {
        error = "generated module does not open: " + module.GetError().Describe();
        return nullptr;
    }
    auto project = std::make_unique<CProject>();
    configure(*project);
    CResourceExtractor extractor(std::move(module).Value(), project->m_ResourceInfo, CodePage(project->GetCodePage()));
    extractor.Extract();
    if (!extractor.Report().loaded) {
        error = "generated module does not scan: " + extractor.Report().error;
        return nullptr;
    }
    project->m_ResourceInfo.Recount();
    return project;
}

std::unique_ptr<CProject> ExtractApplicationProject(std::string& error) {
    auto project = ExtractProject(
        BuildModule(kProjectUi, ApplicationTexts()),
        [](CProject& settings) {
            settings.m_strModulePath = "app.dll";
            settings.m_wTargetLanguage = kTargetLanguage;
        },
        error);
    if (project) error = CheckItems(project->m_ResourceInfo, kProjectUi.Items());
    if (!error.empty()) return nullptr;
    return project;
}

void TranslateSome(CResourceInfo& info, const std::function<bool(std::uint64_t position)>& chosen,
                   const std::function<void(CResourceItem&)>& translated) {
    std::uint64_t position = 0;
    std::uint32_t count = 0;
    for (CResourceItem* root : {&info.m_Strings, &info.m_Dialogs, &info.m_Menus})
        for (auto& child : root->GetChildren()) TranslateItem(*child, chosen, translated, position, count);
    info.m_nTranslated = count;
}

// ---------------------------------------------------------------------------
// Files

SavedProject SaveLargeProject(const ScratchDir& folder, const std::string& name) {
    SavedProject saved;
    if (!folder.Ok()) {
        saved.error = "no folder for the project";
        return saved;
    }
    std::string modulePath = folder.File(name + ".dll");
    std::vector<std::uint8_t> image = BuildModule(kProjectUi, ApplicationTexts());
    if (auto written = WriteFileAtomically(modulePath, image); !written) {
        saved.error = written.GetError().Describe();
        return saved;
    }
    auto project = ExtractProject(
        std::move(image),
        [&](CProject& settings) {
            settings.m_strModulePath = modulePath;
            settings.m_strTargetPath = folder.File(name + ".de.dll");
            settings.m_strTranslator = "Anna Translator";
            settings.m_strEMail = "anna@example.org";
            settings.m_wTargetLanguage = kTargetLanguage;
        },
        saved.error);
    if (!project) return saved;
    AddTranslatorToVersion(*project); // as a new project gets them
    TranslateSome(
        project->m_ResourceInfo, [](std::uint64_t position) { return position % 5 != 0; },
        [&](CResourceItem& item) {
            project->m_Dictionary.AddEntry(item.GetText(), item.GetTranslation(), item.m_chTransHotkey,
                                           item.GetKind());
        });
    for (int entry = 0; project->m_Dictionary.GetCount() < 200000; ++entry)
        project->m_Dictionary.AddEntry("Glossary entry " + std::to_string(entry),
                                       "Glossareintrag " + std::to_string(entry), 0, ItemKind::All);
    project->m_strDictionaryPath = folder.File(name + ".dic");
    saved.path = folder.File(name + ".prj");
    if (auto written = project->Save(saved.path); !written) {
        saved.error = written.GetError().Describe();
        return saved;
    }
    saved.items = Items(project->m_ResourceInfo);
    saved.dictionaryEntries = project->m_Dictionary.GetCount();
    return saved;
}

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillon-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data())) m_path = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    if (!m_path.empty() && !m_keep) std::filesystem::remove_all(m_path, ignored);
}

const ScratchDir& Scratch() {
    static const ScratchDir dir;
    return dir;
}

std::uint64_t FileSize(const std::string& path) {
    std::error_code ignored;
    auto size = std::filesystem::file_size(path, ignored);
    return ignored ? 0 : size;
}

} // namespace quillon::bench
