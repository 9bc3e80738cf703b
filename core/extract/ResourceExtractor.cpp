#include "extract/ResourceExtractor.h"

#include <ctime>

#include "extract/FileVersion.h"
#include "extract/TemplateParsers.h"

namespace quillon {

CResourceExtractor::CResourceExtractor(std::string modulePath, CResourceInfo& target, CodePage codePage,
                                       IProgress* progress)
    : m_strModulePath(std::move(modulePath)), m_target(target), m_codePage(std::move(codePage)),
      m_text(m_codePage), m_progress(progress) {}

CResourceExtractor::CResourceExtractor(ResourceModule module, CResourceInfo& target, CodePage codePage,
                                       IProgress* progress)
    : m_module(std::move(module)), m_bTriedLoad(true), m_target(target), m_codePage(std::move(codePage)),
      m_text(m_codePage), m_progress(progress) {}

CResourceExtractor::~CResourceExtractor() {
    if (m_progress && m_bShown) m_progress->Hide();
}

const ResourceModule* CResourceExtractor::Module() {
    if (!m_bTriedLoad) {
        m_bTriedLoad = true;
        auto opened = ResourceModule::Open(m_strModulePath);
        if (opened)
            m_module.emplace(std::move(opened).Value());
        else
            m_report.error = opened.GetError().Describe();
    }
    return m_module ? &*m_module : nullptr;
}

bool CResourceExtractor::Extract() {
    m_target.Clear();
    for (TreeRoot* root : {&m_strings, &m_menus, &m_dialogs}) root->index.Reset();
    const ResourceModule* module = Module();
    if (!module) return true;
    m_report.loaded = true;
    m_report.diagnostics = module->Diagnostics();

    CFileVersion version(m_codePage);
    if (version.LoadFrom(*module)) {
        std::array<std::uint32_t, 13> fixed{};
        version.GetFixedFileInfo(fixed);
        m_target.m_dwFileVersionMS = fixed[CFileVersion::kFileVersionMS];
        m_target.m_dwFileVersionLS = fixed[CFileVersion::kFileVersionLS];
        version.GetLanguage(m_target.m_wLanguage);
    }
    m_target.m_timeExtracted = static_cast<std::int64_t>(std::time(nullptr));

    std::uint32_t total = CountSteps();
    if (m_progress) {
        m_progress->Show(kExtractMessage, total);
        m_bShown = true;
    }
    ParseAll();
    m_target.Recount();
    m_target.m_nTranslated = 0;
    m_report.replacedCharacters = m_text.Replaced();
    return true;
}

// Sixteen steps per string-table block, one per dialog, menu and version resource.
std::uint32_t CResourceExtractor::CountSteps() {
    const ResourceModule& module = *Module();
    std::uint32_t total = 0;
    for (const ResourceId& name : module.EnumerateNames(kTypeStringTable))
        if (!name.named) total += 16;
    for (std::uint16_t type : {kTypeDialog, kTypeMenu})
        for (const ResourceId& name : module.EnumerateNames(type))
            if (!name.named) ++total;
    total += static_cast<std::uint32_t>(module.EnumerateNames(kTypeVersion).size());
    return total;
}

void CResourceExtractor::StepProgress() {
    if (m_progress) m_progress->Step();
}

void CResourceExtractor::ParseAll() {
    const ResourceModule& module = *Module();
    auto skipNamed = [&](const char* kind, const ResourceId& name) {
        m_report.diagnostics.push_back(std::string(kind) + " named \"" + name.ToString() + "\" skipped (only numbered resources are read)");
    };
    for (const ResourceId& name : module.EnumerateNames(kTypeStringTable)) {
        if (name.named) { skipNamed("string table", name); continue; }
        ReadStringBlock(name.id);
        for (int i = 0; i < 16; ++i) StepProgress();
    }
    for (const ResourceId& name : module.EnumerateNames(kTypeDialog)) {
        if (name.named) { skipNamed("dialog", name); continue; }
        ParseDialog(name.id);
        StepProgress();
    }
    for (const ResourceId& name : module.EnumerateNames(kTypeMenu)) {
        if (name.named) { skipNamed("menu", name); continue; }
        ParseMenu(name.id);
        StepProgress();
    }
    // One version resource describes the module; a second one would mix its
    // blocks into the first, so only the first numbered one is read.
    bool versionRead = false;
    for (const ResourceId& name : module.EnumerateNames(kTypeVersion)) {
        if (name.named) {
            skipNamed("version resource", name);
        } else if (versionRead) {
            m_report.diagnostics.push_back("version resource " + name.ToString() + " skipped (the first one is read)");
        } else {
            versionRead = ParseVersion(name.id);
        }
        StepProgress();
    }
}

namespace {
std::string Unreadable(const char* kind, std::uint16_t id) {
    return std::string(kind) + " " + std::to_string(id) + ": data is not in the file (skipped)";
}
} // namespace

bool CResourceExtractor::ReadStringBlock(std::uint16_t block) {
    const ResourceModule* module = Module();
    if (!module) return false;
    if (!module->Find(kTypeStringTable, block)) {
        m_report.diagnostics.push_back(Unreadable("string table", block));
        return false;
    }
    ParseContext context{m_text, m_report.diagnostics};
    quillon::ParseStringBlock(module->LoadStringBlock(block), block, m_strings, context);
    return true;
}

bool CResourceExtractor::ParseMenu(std::uint16_t id) {
    const ResourceModule* module = Module();
    auto bytes = module ? module->Find(kTypeMenu, id) : std::nullopt;
    if (!bytes) {
        if (module) m_report.diagnostics.push_back(Unreadable("menu", id));
        return false;
    }
    ParseContext context{m_text, m_report.diagnostics};
    return quillon::ParseMenu(*bytes, id, m_menus, context);
}

bool CResourceExtractor::ParseDialog(std::uint16_t id) {
    const ResourceModule* module = Module();
    auto bytes = module ? module->Find(kTypeDialog, id) : std::nullopt;
    if (!bytes) {
        if (module) m_report.diagnostics.push_back(Unreadable("dialog", id));
        return false;
    }
    ParseContext context{m_text, m_report.diagnostics};
    return quillon::ParseDialog(*bytes, id, m_dialogs, context);
}

bool CResourceExtractor::ParseVersion(std::uint16_t id) {
    const ResourceModule* module = Module();
    auto bytes = module ? module->Find(kTypeVersion, id) : std::nullopt;
    if (!bytes) {
        if (module) m_report.diagnostics.push_back(Unreadable("version resource", id));
        return false;
    }
    ParseContext context{m_text, m_report.diagnostics};
    return quillon::ParseVersion(*bytes, m_target.m_VersionInfo, context);
}

} // namespace quillon
