#include "GeneratedModules.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "extract/ResourceExtractor.h"
#include "io/FileIo.h"
#include "model/ResourceInfo.h"
#include "pe/ResourceModule.h"
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
        item.SetTranslation("DE " + item.m_strText, item.m_chHotkey);
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

std::vector<std::uint8_t> BuildModule(const UiSize& size, const UiTexts& texts, const BuiltVersion& version,
                                      std::vector<BuiltResource> extra) {
    std::vector<BuiltResource> resources = StringBlocks(size, texts);
    for (auto* generate : {Dialogs, Menus})
        for (auto& resource : generate(size, texts)) resources.push_back(std::move(resource));
    for (auto& resource : extra) resources.push_back(std::move(resource));
    resources.push_back({ResourceId::Integer(16), ResourceId::Integer(1), kLanguage, testing::VersionBytes(version)});
    return testing::BuildPeWithResources(resources);
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
            project->m_Dictionary.AddEntry(item.m_strText, item.m_strTranslation, item.m_chTransHotkey,
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
