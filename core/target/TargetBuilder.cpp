#include "target/TargetBuilder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <future>
#include <map>

#include "target/TemplateWriters.h"
#include "extract/TemplateParsers.h"
#include "io/FileIo.h"
#include "io/RunBeside.h"
#include "model/CountText.h"
#include "model/TreeRoots.h"
#include "pe/ResourceUpdate.h"
#include "project/Project.h"

namespace quillon {

namespace {

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (std::filesystem::exists(b, error)) return std::filesystem::equivalent(a, b, error);
    return std::filesystem::weakly_canonical(a, error) == std::filesystem::weakly_canonical(b, error);
}

// "3 dialogs", "1 version resource".
std::string TemplateCount(std::size_t count, std::uint16_t type) {
    switch (type) {
    case kTypeStringTable: return CountOf(count, "string table");
    case kTypeDialog: return CountOf(count, "dialog");
    case kTypeMenu: return CountOf(count, "menu");
    case kTypeVersion: return CountOf(count, "version resource");
    default: return CountOf(count, "resource") + " of type " + std::to_string(type);
    }
}

std::string LanguageHex(std::uint16_t language) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%04x", language);
    return buffer;
}

// New templates of one kind, made without touching the update, so that
// kinds can be made side by side and applied in a fixed order.
struct Batch {
    struct Template {
        std::uint16_t type = 0;
        std::uint16_t name = 0;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Template> templates;
    std::vector<std::string> warnings;
};

// Makes the templates of the translated tree. Each call converts texts with
// a code page of its own (a converter is not shared between threads) and
// only reads the project and the module.
class TemplateMaker {
public:
    TemplateMaker(const CProject& project, const ResourceModule& source) : m_project(project), m_source(source) {}

    Batch Strings() const {
        CodePage codePage(m_project.GetCodePage());
        Batch batch;
        const CResourceItem& strings = m_project.m_ResourceInfo.m_Strings;
        for (auto& [block, bytes] : WriteStringBlocks(strings, Context(codePage)))
            batch.templates.push_back({kTypeStringTable, block, std::move(bytes)});
        auto outside = std::count_if(strings.GetChildren().begin(), strings.GetChildren().end(),
                                     [](const auto& entry) { return !StringIdFits(entry->m_nID); });
        if (outside)
            batch.warnings.push_back(std::to_string(outside) +
                                     " strings have IDs past 65535 (string-table blocks above 4096); their blocks "
                                     "are left as they were");
        return batch;
    }

    // Dialogs, menus and the version resource.
    Batch Others() const {
        CodePage codePage(m_project.GetCodePage());
        Batch batch;
        Dialogs(Context(codePage), batch);
        Menus(Context(codePage), batch);
        Version(Context(codePage), batch);
        return batch;
    }

private:
    WriteContext Context(const CodePage& codePage) const { return WriteContext{codePage, &m_source}; }

    void Dialogs(const WriteContext& context, Batch& batch) const {
        for (const auto& dialog : m_project.m_ResourceInfo.m_Dialogs.GetChildren()) {
            auto bytes = WriteDialog(*dialog, context);
            if (!bytes) {
                batch.warnings.push_back(bytes.GetError().message + "; the dialog is left as it was");
                continue;
            }
            batch.templates.push_back({kTypeDialog, static_cast<std::uint16_t>(dialog->m_nID), std::move(bytes).Value()});
        }
    }

    void Menus(const WriteContext& context, Batch& batch) const {
        for (const auto& menu : m_project.m_ResourceInfo.m_Menus.GetChildren()) {
            auto id = static_cast<std::uint16_t>(menu->m_nID);
            if (!MenuIsReadable(id)) {
                batch.warnings.push_back("menu " + std::to_string(id) +
                                         " is not a standard menu template; it is left as it was");
                continue;
            }
            batch.templates.push_back({kTypeMenu, id, WriteMenu(*menu, context)});
        }
    }

    void Version(const WriteContext& context, Batch& batch) const {
        const CVersionInfo& info = m_project.m_ResourceInfo.m_VersionInfo;
        if (info.m_Root.GetCount() == 0) return;
        std::uint16_t name = 1;
        for (const ResourceId& id : m_source.EnumerateNames(kTypeVersion))
            if (!id.named) {
                name = id.id;
                break;
            }
        auto bytes = WriteVersion(info, context, name);
        if (!bytes) {
            batch.warnings.push_back(bytes.GetError().message + "; it is left as it was");
            return;
        }
        batch.templates.push_back({kTypeVersion, name, std::move(bytes).Value()});
    }

    // The module's menu must be one the reader understood; anything else
    // (an extended menu, a damaged template) would come back empty.
    bool MenuIsReadable(std::uint16_t id) const {
        auto bytes = m_source.Find(kTypeMenu, id);
        if (!bytes) return true; // not in the module: nothing to lose
        return MenuTemplateIsReadable(*bytes);
    }

    const CProject& m_project;
    const ResourceModule& m_source;
};

// Applies batches to the update and counts deletions and writes for the report.
class Applier {
public:
    Applier(const CProject& project, ResourceUpdate& update, const ResourceModule& source, BuildReport& report)
        : m_project(project), m_update(update), m_source(source), m_report(report) {}

    void Apply(Batch batch) {
        for (Batch::Template& written : batch.templates) Replace(written.type, written.name, std::move(written.bytes));
        for (std::string& warning : batch.warnings) m_report.warnings.push_back(std::move(warning));
    }

    void Summarize() {
        for (const auto& [key, count] : m_deleted)
            m_report.lines.push_back("deleted " + TemplateCount(count, key.first) + " in " +
                                     LanguageHex(key.second));
        for (const auto& [key, count] : m_written)
            m_report.lines.push_back("wrote " + TemplateCount(count, key.first) + " in " +
                                     LanguageHex(key.second));
    }

private:
    // The original goes, then the new template is stored under the target
    // language.
    void Replace(std::uint16_t type, std::uint16_t name, std::vector<std::uint8_t> bytes) {
        for (std::uint16_t language : Originals(type, name))
            if (m_update.Delete(ResourceId::Integer(type), ResourceId::Integer(name), language))
                ++m_deleted[{type, language}];
        m_update.Put(ResourceId::Integer(type), ResourceId::Integer(name), m_project.m_wTargetLanguage, std::move(bytes));
        ++m_written[{type, m_project.m_wTargetLanguage}];
    }

    // The languages a rebuilt resource is removed in: the project's source
    // language and the one it was read from (a neutral original would
    // otherwise keep winning over the translation). A module that declares
    // no language is read in the one holding the most resources
    // (ModuleLanguage), and Wine's modules hold complete translations that
    // would tie with the target's; so when it is built into another language,
    // every other copy goes and the rebuilt resources are in the target
    // language only. (A module that declares one declares the target's in
    // the target.)
    std::vector<std::uint16_t> Originals(std::uint16_t type, std::uint16_t name) const {
        std::uint16_t source = m_project.m_ResourceInfo.m_wLanguage;
        std::vector<std::uint16_t> languages{source};
        if (m_source.HasDeclaredLanguage() || m_project.m_wTargetLanguage == source) {
            if (const ResourceLeaf* read = m_source.FindLeaf(type, name)) languages.push_back(read->language);
        } else if (const ResourceNameNode* node = m_source.FindName(type, name)) {
            for (const ResourceLeaf& leaf : node->languages)
                if (!leaf.languageHigh) languages.push_back(leaf.language);
        }
        return languages; // a language listed twice is deleted once
    }

    const CProject& m_project;
    ResourceUpdate& m_update;
    const ResourceModule& m_source;
    BuildReport& m_report;
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::size_t> m_deleted;
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::size_t> m_written;
};

} // namespace

Result<BuildReport> BuildTarget(const CProject& project, const std::string& targetPath) {
    if (targetPath.empty()) return MakeError(Error::Code::NotFound, "no target path");
    if (SameFile(project.m_strModulePath, targetPath))
        return MakeError(Error::Code::Unsupported, "the target '" + targetPath + "' is the module itself");
    if (!HasResources(project.m_ResourceInfo)) return MakeError(Error::Code::NotFound, "the project has nothing to build");
    // The reader and the update share the module's mapping and its
    // directory; the build reads the headers and resources and copies the
    // rest from file to file.
    auto source = ResourceModule::Open(project.m_strModulePath);
    if (!source) return source.GetError();
    auto update = ResourceUpdate::Begin(source.Value().Image(), source.Value().Tree());
    if (!update) return update.GetError();

    // String tables are half of a module's texts: they are made on a second
    // thread while this one makes the rest.
    TemplateMaker maker(project, source.Value());
    std::future<Batch> strings = RunBeside([&maker] { return maker.Strings(); });
    Batch others = maker.Others();
    BuildReport report;
    Applier applier(project, update.Value(), source.Value(), report);
    applier.Apply(strings.get());
    applier.Apply(std::move(others));
    applier.Summarize();

    const ResourceUpdate& commit = update.Value();
    Status written = WriteFileAtomically(targetPath, [&](int fd) -> Status {
        Status done = commit.CommitTo(fd, report.warnings);
        if (done || done.GetError().code != Error::Code::Io) return done;
        Error error = done.GetError();
        error.message = "'" + targetPath + "': " + error.message;
        return error;
    });
    if (!written) return written.GetError();
    return report;
}

} // namespace quillon
