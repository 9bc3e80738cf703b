#pragma once
// Changes that exchange a whole part keep the very objects that were in the
// project: edits made before them point at those objects, so the part that
// an operation rewrites must be a copy (see the document's update).
//
// One change of a project as a whole, the unit the desktop applies, marks
// the project modified for, tells its views about and can take back: edits
// of item translations, edits of dictionary entries, a new translated count,
// and for a merge of a new module version the whole tree. Core operations
// plan changes; only the owner of the project applies them.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dictionary/DictionaryEdit.h"
#include "model/ItemEdit.h"
#include "model/ResourceInfo.h"

namespace quillon {

class CProject;

// What the settings dialogs and a moved module change.
struct ProjectSettings {
    std::string modulePath;
    std::string targetPath;
    std::string dictionaryPath;
    std::string translator;
    std::string email;
    std::uint16_t targetLanguage = 0;
    std::uint32_t codePage = 0;
    bool operator==(const ProjectSettings&) const = default;
};
ProjectSettings SettingsOf(const CProject& project);
void ApplySettings(CProject& project, const ProjectSettings& settings);

// Whose texts a change puts in: the translator's own translations (typed,
// confirmed, imported, taken by Auto Translate), which the translation memory
// keeps, or a tool's (restore, update, pseudo-translation), which it must not.
enum class ChangeOrigin { Tool, Translator };

class ProjectChange {
public:
    explicit ProjectChange(std::string label = {}, ChangeOrigin origin = ChangeOrigin::Tool)
        : m_label(std::move(label)), m_origin(origin) {}

    // What the change does, in words for an Undo menu ("Translate", "Restore All").
    const std::string& Label() const { return m_label; }
    ChangeOrigin Origin() const { return m_origin; }

    // An edit that changes nothing is dropped.
    void Add(ItemEdit edit);
    void Add(DictionaryEdit edit);
    // The project's translated counter before and after.
    void SetTranslatedCount(std::uint32_t before, std::uint32_t after);
    // Exchanges the project's whole tree (a merge of a new module version)
    // with `other`: the tree Apply puts in, or for a change already made
    // (MarkApplied) the tree Revert puts back.
    void ExchangeTree(CResourceInfo other);
    // Exchanges the version resource alone (settings that retarget it), as
    // ExchangeTree does the tree.
    void ExchangeVersionInfo(CVersionInfo other);
    // Exchanges the whole dictionary (another dictionary file opened), as
    // ExchangeTree does the tree.
    void ExchangeDictionary(CDictonary other);
    // The project's settings before and after (paths, translator, language).
    void ChangeSettings(ProjectSettings before, ProjectSettings after);

    bool Empty() const;
    const std::vector<ItemEdit>& ItemEdits() const { return m_items; }
    bool ChangesDictionary() const { return !m_dictionary.empty() || m_wholeDictionary != nullptr; }
    // The views hold item pointers into what is exchanged.
    bool ReplacesTree() const { return m_tree != nullptr || m_versionInfo != nullptr; }
    bool ChangesSettings() const { return m_settings.has_value(); }

    // Puts the planned state into the project. Apply and Revert alternate,
    // starting with Apply (unless the change was made while it was planned,
    // as a long run does: then MarkApplied first).
    void Apply(CProject& project);
    void Revert(CProject& project);
    void MarkApplied() { m_applied = true; }
    bool IsApplied() const { return m_applied; }

private:
    void SwapTree(CProject& project);

    std::string m_label;
    ChangeOrigin m_origin;
    std::vector<ItemEdit> m_items;
    std::vector<DictionaryEdit> m_dictionary;
    std::optional<std::pair<std::uint32_t, std::uint32_t>> m_translatedCount;
    // The tree not in the project: the new one before Apply, the old one after.
    std::unique_ptr<CResourceInfo> m_tree;
    std::unique_ptr<CDictonary> m_wholeDictionary;
    std::unique_ptr<CVersionInfo> m_versionInfo;
    std::optional<std::pair<ProjectSettings, ProjectSettings>> m_settings;
    bool m_applied = false;
};

} // namespace quillon
