#pragma once
// Creating a project: settings, the module's resources, and the translator's
// entries in the version resource.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "extract/Progress.h"
#include "io/Result.h"
#include "project/Project.h"

namespace quillon {

struct NewProjectSettings {
    std::string projectPath;
    std::string modulePath;
    std::string dictionaryPath; // may be empty
    std::string translator;
    std::string email;
    std::uint16_t targetLanguage = 0;
    std::uint32_t codePage = 0; // 0 = the target language's default
};

inline constexpr const char* kTranslationSoftware = "Quillon 1.0";

// The project path as it will be saved: ".prj" is added when the file name
// has no extension; any other extension is kept.
std::string ProjectPathWithExtension(const std::string& path);

// The files of a new project before anything is read: the project and the
// dictionary can be written, the module read, and all of them (with the
// project's side file) are different files. Whether a project file may be
// replaced is the caller's question.
Status CheckNewProjectPaths(const NewProjectSettings& settings);

// Builds a new project from the module in memory; nothing on disk is touched
// (an existing file at the project path is replaced only when the project is
// saved). The dictionary is loaded from its path when the file exists.
Result<std::unique_ptr<CProject>> CreateProject(const NewProjectSettings& settings, IProgress* progress = nullptr);

// The translator's name and e-mail are kept in the project's code page and
// written into the version resource from there. When `translator` or `email`
// (UTF-8) has characters the code page cannot hold, and which become '?',
// the warning that says so.
std::optional<std::string> UnheldNameWarning(std::string_view translator, std::string_view email,
                                             const CodePage& codePage);

// Retargets the version resource to the project's target language
// (RetargetVersion) and writes the translator, e-mail and "Translation
// Software" values into the string table written for the target.
void AddTranslatorToVersion(CProject& project);

// After the translator or e-mail changed: the version values written for
// them follow (in the string table written for the target).
void RefreshTranslatorValues(CProject& project);

// The translator's values in `to`'s target string table become exactly what
// `from` holds for them (source, translation and state): they are the
// project's own entries, not the module's, so a new scan of the module must
// not count them as changed.
void KeepTranslatorValues(const CProject& from, CProject& to);

// Points the version resource at `language`, for a new project and for a
// project whose target language changes alike. The translation table keeps
// one pair: its first, with `language` and the pair's code page. The string
// table written for the target (see TargetStringTable) takes that pair as its
// target key; a table the module has of its own keeps its key. Returns that
// string table, or null when there is none (or no translation table).
CVersionBlock* RetargetVersion(CVersionBlock& root, std::uint16_t language);

// The string table written for the target, for the translation table's
// first pair: a table already retargeted to that pair, else the table the
// module keys by that pair. Null when there is none.
CVersionBlock* TargetStringTable(CVersionBlock& root);
inline const CVersionBlock* TargetStringTable(const CVersionBlock& root) {
    return TargetStringTable(const_cast<CVersionBlock&>(root)); // finds, changes nothing
}

// A module may already hold a table for the target language; the table
// retargeted to that language takes its place, so the target has one table
// per language. True for `block`, a child of `parent`, when a sibling is
// retargeted to its key: the build leaves it out.
bool ReplacedInTarget(const CResourceItem& parent, const CVersionBlock& block);

// The block reached by a backslash path of keys (compared without regard to
// ASCII case; empty segments skipped), or null.
CVersionBlock* FindVersionPath(CVersionBlock& block, std::string_view path);
inline const CVersionBlock* FindVersionPath(const CVersionBlock& block, std::string_view path) {
    return FindVersionPath(const_cast<CVersionBlock&>(block), path); // finds, changes nothing
}

} // namespace quillon
