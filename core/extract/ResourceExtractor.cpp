#include "extract/ResourceExtractor.h"

#include <cstdio>
#include <ctime>

#include "extract/FileVersion.h"
#include "extract/Languages.h"
#include "extract/TemplateParsers.h"
#include "model/ItemPath.h"
#include "pe/ModuleLanguage.h"

namespace quillon {

CResourceExtractor::CResourceExtractor(std::string modulePath, CResourceInfo& target, CodePage codePage,
                                       IProgress* progress)
    : m_strModulePath(std::move(modulePath)), m_target(target), m_codePage(std::move(codePage)),
      m_text(m_codePage), m_progress(progress) {}

CResourceExtractor::CResourceExtractor(Result<ResourceModule> opened, CResourceInfo& target, CodePage codePage,
                                       IProgress* progress)
    : m_bTriedLoad(true), m_target(target), m_codePage(std::move(codePage)), m_text(m_codePage),
      m_progress(progress) {
    if (opened)
        m_module.emplace(std::move(opened).Value());
    else
        m_report.error = opened.GetError().Describe();
}

std::uint64_t ScannedBytes(const ResourceModule& module) {
    std::uint64_t total = 0;
    for (std::uint16_t type : {kTypeStringTable, kTypeDialog, kTypeMenu}) {
        const ResourceTypeNode* node = module.Tree().FindType(ResourceId::Integer(type));
        if (!node) continue;
        for (const ResourceNameNode& name : node->names)
            for (const ResourceLeaf& leaf : name.languages)
                if (leaf.bytes) total += leaf.bytes->size();
    }
    return total;
}

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

namespace {

// A crafted module can name thousands of resources that are all skipped; a
// reader wants the first of them and a count, not megabytes of the same line.
void LimitDiagnostics(std::vector<std::string>& diagnostics) {
    constexpr std::size_t kMaxListed = 200;
    if (diagnostics.size() <= kMaxListed) return;
    std::size_t more = diagnostics.size() - kMaxListed;
    diagnostics.resize(kMaxListed);
    diagnostics.push_back(std::to_string(more) + " more warnings (not listed)");
}

Error UnsupportedCodePage(const CodePage& codePage) {
    return MakeError(Error::Code::Unsupported, "code page " + std::to_string(codePage.Id()) + " is not supported");
}

} // namespace

Status CResourceExtractor::Extract() {
    m_target.Clear();
    // The Windows code pages keep ASCII as it is, so their converter is only
    // opened when a text is not ASCII: for many modules never, and opening
    // it costs as much as reading all the templates of a small module.
    if (!m_codePage.KeepsAscii() && !m_codePage.Supported()) return UnsupportedCodePage(m_codePage);
    for (TreeRoot* root : {&m_strings, &m_menus, &m_dialogs}) root->index.Reset();
    const ResourceModule* module = Module();
    if (!module) return MakeError(Error::Code::NotModule, m_report.error);
    m_report.loaded = true;
    m_report.diagnostics = module->Diagnostics();
    if (m_readIn) ReadInChosenLanguage();
    m_target.m_wLanguage = module->Language();

    if (auto version = ReadModuleVersion(*module, m_codePage)) {
        m_target.m_dwFileVersionMS = version.Value().fileVersionMS;
        m_target.m_dwFileVersionLS = version.Value().fileVersionLS;
    }
    m_target.m_timeExtracted = static_cast<std::int64_t>(std::time(nullptr));

    std::uint32_t total = CountSteps();
    if (m_progress) {
        m_progress->Show(kExtractMessage, total);
        m_bShown = true;
    }
    ParseAll();
    // Without a converter every character beyond ASCII became '?': a tree
    // that lost its texts is refused, not shown.
    if (m_text.Replaced() > 0 && !m_codePage.Supported()) {
        m_target.Clear();
        return UnsupportedCodePage(m_codePage);
    }
    m_target.Recount();
    m_target.m_nTranslated = 0;
    m_report.replacedCharacters = m_text.Replaced();
    LimitDiagnostics(m_report.diagnostics);
    return Done{};
}

// A language the module holds nothing in still reads, from the module's
// other languages; the warning says so.
void CResourceExtractor::ReadInChosenLanguage() {
    m_module->ReadIn(*m_readIn);
    std::uint16_t primary = PrimaryLanguage(*m_readIn);
    for (const auto& [language, count] : CountTranslatableResources(m_module->Tree()))
        if (language == *m_readIn || (primary != 0 && PrimaryLanguage(language) == primary)) return;
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04x", *m_readIn);
    m_report.diagnostics.push_back("the module has no string table, dialog or menu in language " + std::string(hex) +
                                   "; the texts read are in its other languages");
}

namespace {

// Only numbered resources are read; named ones are reported and skipped.
std::uint32_t CountNumbered(const ResourceModule& module, std::uint16_t type) {
    std::uint32_t count = 0;
    for (const ResourceId& name : module.EnumerateNames(type))
        if (!name.named) ++count;
    return count;
}

std::string NamedSkipped(const char* kind, const ResourceId& name) {
    return std::string(kind) + " named \"" + name.ToString() + "\" skipped (only numbered resources are read)";
}

} // namespace

// Sixteen steps per string-table block, one per dialog, menu and version resource.
std::uint32_t CResourceExtractor::CountSteps() {
    const ResourceModule& module = *Module();
    return 16 * CountNumbered(module, kTypeStringTable) + CountNumbered(module, kTypeDialog) +
           CountNumbered(module, kTypeMenu) + static_cast<std::uint32_t>(module.EnumerateNames(kTypeVersion).size());
}

void CResourceExtractor::StepProgress() {
    if (m_progress) m_progress->Step();
}

// Strings, then dialogs and menus, then the version: the order the
// diagnostics are reported in. All on this thread: reading the templates on
// a second one paid when every new page of items was a page fault; with the
// heap in large pages (io/Heap.h) the second thread's own heap made the scan
// of a 61,000-item module slower, not faster.
void CResourceExtractor::ParseAll() {
    const ResourceModule& module = *Module();
    ReadStringTables(module);
    ReadDialogsAndMenus(module);
    ReadVersionResources(module);
}

// One version resource describes the module; a second one would mix its
// blocks into the first, so only the first numbered one is read.
void CResourceExtractor::ReadVersionResources(const ResourceModule& module) {
    bool versionRead = false;
    for (const ResourceId& name : module.EnumerateNames(kTypeVersion)) {
        if (name.named) {
            m_report.diagnostics.push_back(NamedSkipped("version resource", name));
        } else if (versionRead) {
            m_report.diagnostics.push_back("version resource " + name.ToString() + " skipped (the first one is read)");
        } else {
            versionRead = ParseVersion(name.id);
        }
        StepProgress();
    }
}

void CResourceExtractor::ReadStringTables(const ResourceModule& module) {
    ParseContext context{m_text, m_report.diagnostics, &m_target.m_scanWarnings};
    for (const ResourceId& name : module.EnumerateNames(kTypeStringTable)) {
        if (name.named) {
            context.diagnostics.push_back(NamedSkipped("string table", name));
            continue;
        }
        ReadStringBlock(name.id, context);
        for (int i = 0; i < 16; ++i) StepProgress();
    }
}

void CResourceExtractor::ReadDialogsAndMenus(const ResourceModule& module) {
    ParseContext context{m_text, m_report.diagnostics, &m_target.m_scanWarnings};
    for (const ResourceId& name : module.EnumerateNames(kTypeDialog)) {
        if (name.named) {
            context.diagnostics.push_back(NamedSkipped("dialog", name));
            continue;
        }
        ParseDialog(name.id, context);
        StepProgress();
    }
    for (const ResourceId& name : module.EnumerateNames(kTypeMenu)) {
        if (name.named) {
            context.diagnostics.push_back(NamedSkipped("menu", name));
            continue;
        }
        ParseMenu(name.id, context);
        StepProgress();
    }
}

namespace {
std::string Unreadable(const char* kind, std::uint16_t id) {
    return std::string(kind) + " " + std::to_string(id) + ": data is not in the file (skipped)";
}

// What the parse of one resource reported since `before`, kept by the
// resource's path so the tree can mark it.
void MarkResource(ParseContext& context, Root root, std::uint16_t id, std::size_t before) {
    if (!context.marks || context.diagnostics.size() == before) return;
    std::vector<std::string>& marks = (*context.marks)[ItemPath{root, {PathStep{.id = id, .key = {}, .occurrence = 1}}}.ToString()];
    marks.insert(marks.end(), context.diagnostics.begin() + static_cast<std::ptrdiff_t>(before),
                 context.diagnostics.end());
}
} // namespace

bool CResourceExtractor::ReadStringBlock(std::uint16_t block) {
    ParseContext context{m_text, m_report.diagnostics, &m_target.m_scanWarnings};
    return ReadStringBlock(block, context);
}

bool CResourceExtractor::ReadStringBlock(std::uint16_t block, ParseContext& context) {
    const ResourceModule* module = Module();
    if (!module) return false;
    if (!module->Find(kTypeStringTable, block)) {
        context.diagnostics.push_back(Unreadable("string table", block));
        return false;
    }
    quillon::ParseStringBlock(module->LoadStringBlockBytes(block), block, m_strings, context);
    return true;
}

bool CResourceExtractor::ParseMenu(std::uint16_t id) {
    ParseContext context{m_text, m_report.diagnostics, &m_target.m_scanWarnings};
    return ParseMenu(id, context);
}

bool CResourceExtractor::ParseMenu(std::uint16_t id, ParseContext& context) {
    const ResourceModule* module = Module();
    auto bytes = module ? module->Find(kTypeMenu, id) : std::nullopt;
    if (!bytes) {
        if (module) context.diagnostics.push_back(Unreadable("menu", id));
        return false;
    }
    std::size_t before = context.diagnostics.size();
    bool parsed = quillon::ParseMenu(*bytes, id, m_menus, context);
    MarkResource(context, Root::Menus, id, before);
    return parsed;
}

bool CResourceExtractor::ParseDialog(std::uint16_t id) {
    ParseContext context{m_text, m_report.diagnostics, &m_target.m_scanWarnings};
    return ParseDialog(id, context);
}

bool CResourceExtractor::ParseDialog(std::uint16_t id, ParseContext& context) {
    const ResourceModule* module = Module();
    auto bytes = module ? module->Find(kTypeDialog, id) : std::nullopt;
    if (!bytes) {
        if (module) context.diagnostics.push_back(Unreadable("dialog", id));
        return false;
    }
    std::size_t before = context.diagnostics.size();
    bool parsed = quillon::ParseDialog(*bytes, id, m_dialogs, context);
    MarkResource(context, Root::Dialogs, id, before);
    return parsed;
}

bool CResourceExtractor::ParseVersion(std::uint16_t id) {
    const ResourceModule* module = Module();
    auto bytes = module ? module->Find(kTypeVersion, id) : std::nullopt;
    if (!bytes) {
        if (module) m_report.diagnostics.push_back(Unreadable("version resource", id));
        return false;
    }
    ParseContext context{m_text, m_report.diagnostics, &m_target.m_scanWarnings};
    return quillon::ParseVersion(*bytes, m_target.m_VersionInfo, context);
}

} // namespace quillon
