#include "project/NewProject.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <utility>

#include "io/ByteReader.h"
#include "io/FileIo.h"
#include "model/CountText.h"

namespace quillon {

std::string ProjectPathWithExtension(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = path.find_last_of('.');
    bool hasExtension = dot != std::string::npos && dot > nameStart;
    return hasExtension ? path : path + ".prj";
}

Status CheckNewProjectPaths(const NewProjectSettings& settings) {
    const std::string& path = settings.projectPath;
    if (Status project = CheckOutputFile(path, "project"); !project) return project;
    if (Status module = CheckInputFile(settings.modulePath, "module"); !module) return module;
    if (!settings.dictionaryPath.empty())
        if (Status dictionary = CheckOutputFile(settings.dictionaryPath, "dictionary"); !dictionary) return dictionary;
    if (Status distinct = CheckDistinctFiles({{"project", path},
                                              {"project's side file", ProjectSideFile::PathFor(path)},
                                              {"module", settings.modulePath},
                                              {"dictionary", settings.dictionaryPath}});
        !distinct)
        return distinct;
    if (Status replaceable = CheckReplacesItsKind(path, FileHolds::Project, "project"); !replaceable) return replaceable;
    return CheckSideFileIsFree(path);
}

Result<std::unique_ptr<CProject>> CreateProject(const NewProjectSettings& settings, IProgress* progress) {
    if (!FileExists(settings.modulePath))
        return MakeError(Error::Code::NotFound, "module '" + settings.modulePath + "' not found");
    auto project = std::make_unique<CProject>();
    project->m_strModulePath = settings.modulePath;
    project->m_strDictionaryPath = settings.dictionaryPath;
    project->m_strTranslator = settings.translator;
    project->m_strEMail = settings.email;
    project->m_wTargetLanguage = settings.targetLanguage;
    project->m_nCodePage = settings.codePage;
    // An empty path makes Open build the project from the module.
    Status opened = project->Open("", progress);
    if (!opened) return opened.GetError();
    AddTranslatorToVersion(*project);
    project->m_ResourceInfo.Recount();
    project->m_bLoaded = true;
    return project;
}

namespace {

bool SameKey(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

std::string HexPair(std::uint16_t language, std::uint16_t codePage) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04x%04x", language, codePage);
    return buffer;
}

} // namespace

CVersionBlock* FindVersionPath(CVersionBlock& block, std::string_view path) {
    CVersionBlock* current = &block;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t end = path.find('\\', pos);
        if (end == std::string_view::npos) end = path.size();
        std::string_view segment = path.substr(pos, end - pos);
        if (!segment.empty()) {
            CVersionBlock* found = nullptr;
            for (const auto& child : current->GetChildren()) {
                auto* candidate = dynamic_cast<CVersionBlock*>(child.get());
                if (candidate && SameKey(candidate->m_strKey, segment)) {
                    found = candidate;
                    break;
                }
            }
            if (!found) return nullptr;
            current = found;
        }
        pos = end + 1;
    }
    return current;
}

namespace {

// The first pair of the translation table: language in the low word, code
// page in the high word (little-endian). None without such a table.
std::optional<std::pair<std::uint16_t, std::uint16_t>> TranslationPair(CVersionBlock& root) {
    CVersionBlock* translation = FindVersionPath(root, "\\VarFileInfo\\Translation");
    if (!translation) return std::nullopt;
    auto pair = ByteReader::U32At(translation->m_pValue, 0);
    if (!pair) return std::nullopt;
    return std::pair{static_cast<std::uint16_t>(*pair), static_cast<std::uint16_t>(*pair >> 16)};
}

} // namespace

std::optional<std::string> UnheldNameWarning(std::string_view translator, std::string_view email,
                                             const CodePage& codePage) {
    std::size_t unheld = 0;
    codePage.FromUtf8(translator, &unheld);
    codePage.FromUtf8(email, &unheld);
    if (unheld == 0) return std::nullopt;
    return CountOf(unheld, "character") + " of the translator's name and e-mail cannot be held in code page " +
           std::to_string(codePage.Id()) + " and " + (unheld == 1 ? "is" : "are") +
           " written as '?', in the version resource too";
}

bool ReplacedInTarget(const CResourceItem& parent, const CVersionBlock& block) {
    if (!SameKey(block.m_strTargetKey, block.m_strKey)) return false;
    return std::ranges::any_of(parent.GetChildren(), [&](const auto& sibling) {
        const auto* other = dynamic_cast<const CVersionBlock*>(sibling.get());
        return other && other != &block && !SameKey(other->m_strTargetKey, other->m_strKey) &&
               SameKey(other->m_strTargetKey, block.m_strKey);
    });
}

CVersionBlock* TargetStringTable(CVersionBlock& root) {
    auto pair = TranslationPair(root);
    CVersionBlock* tables = FindVersionPath(root, "\\StringFileInfo");
    if (!pair || !tables) return nullptr;
    const std::string key = HexPair(pair->first, pair->second);
    CVersionBlock* own = nullptr;
    for (const auto& child : tables->GetChildren()) {
        auto* table = dynamic_cast<CVersionBlock*>(child.get());
        if (!table) continue;
        bool retargeted = !SameKey(table->m_strTargetKey, table->m_strKey);
        if (retargeted && SameKey(table->m_strTargetKey, key)) return table;
        if (!own && !retargeted && SameKey(table->m_strKey, key)) own = table;
    }
    return own;
}

CVersionBlock* RetargetVersion(CVersionBlock& root, std::uint16_t language) {
    auto pair = TranslationPair(root);
    if (!pair) return nullptr;
    CVersionBlock* table = TargetStringTable(root);
    std::uint16_t codePage = pair->second;
    CVersionBlock* translation = FindVersionPath(root, "\\VarFileInfo\\Translation");
    translation->m_pValue = {static_cast<std::uint8_t>(language), static_cast<std::uint8_t>(language >> 8),
                             static_cast<std::uint8_t>(codePage), static_cast<std::uint8_t>(codePage >> 8)};
    if (table) table->m_strTargetKey = HexPair(language, codePage);
    return table;
}

void AddTranslatorToVersion(CProject& project) {
    CVersionBlock* table = RetargetVersion(project.m_ResourceInfo.m_VersionInfo.m_Root, project.m_wTargetLanguage);
    if (!table) return;
    const std::pair<const char*, std::string> values[] = {
        {"Translator", project.m_strTranslator},
        {"Translator E-Mail", project.m_strEMail},
        {"Translation Software", kTranslationSoftware},
    };
    for (const auto& [key, text] : values) {
        if (CVersionBlock* existing = FindVersionPath(*table, key))
            existing->SetTranslation(text, 0);
        else
            table->AddChild(std::make_unique<CVersionBlock>(key, kVersionText, text));
    }
}

void KeepTranslatorValues(const CProject& from, CProject& to) {
    const CVersionBlock* own = TargetStringTable(from.m_ResourceInfo.m_VersionInfo.m_Root);
    CVersionBlock* fresh = TargetStringTable(to.m_ResourceInfo.m_VersionInfo.m_Root);
    if (!own || !fresh) return;
    for (const char* key : {"Translator", "Translator E-Mail", "Translation Software"}) {
        const CVersionBlock* value = FindVersionPath(*own, key);
        CVersionBlock* copy = FindVersionPath(*fresh, key);
        if (!value || !copy) continue;
        copy->SetText(value->GetText());
        copy->SetTranslationText(value->GetTranslation());
        copy->m_chTransHotkey = value->m_chTransHotkey;
        copy->m_dwState = value->m_dwState;
    }
}

void RefreshTranslatorValues(CProject& project) {
    CVersionBlock* table = TargetStringTable(project.m_ResourceInfo.m_VersionInfo.m_Root);
    if (!table) return;
    for (const auto& [key, text] : {std::pair<const char*, const std::string&>{"Translator", project.m_strTranslator},
                                    std::pair<const char*, const std::string&>{"Translator E-Mail", project.m_strEMail}})
        if (CVersionBlock* value = FindVersionPath(*table, key); value && value->GetTranslation() != text)
            value->SetTranslation(text, 0);
}

} // namespace quillon
