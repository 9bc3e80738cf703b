#pragma once
// A new project made from a fixture module, as the translator "Ann" makes it:
// for German unless told otherwise, with its files in `dir` when one is given.
// A failure fails the test and gives an empty project.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Fixtures.h"
#include "TempDir.h"
#include "model/ItemPath.h"
#include "project/NewProject.h"
#include "project/ProjectUpdate.h"

namespace quillon::testing {

inline std::unique_ptr<CProject> NewProjectOf(const std::string& module, std::uint16_t language = 0x0407,
                                                  const TempDir* dir = nullptr) {
    auto created = CreateProject({.projectPath = dir ? dir->File("p.prj") : "",
                                  .modulePath = module,
                                  .dictionaryPath = dir ? dir->File("p.dic") : "",
                                  .translator = "Ann",
                                  .email = "ann@example.org",
                                  .targetLanguage = language});
    EXPECT_TRUE(created) << module << ": " << (created ? "" : created.GetError().Describe());
    return created ? std::move(created).Value() : std::make_unique<CProject>();
}

// The project's item at `path`; a path that names none fails the test and
// gives a blank item.
inline CResourceItem& ItemAt(CProject& project, std::string_view path) {
    auto item = Find(project.m_ResourceInfo, path);
    EXPECT_TRUE(item) << path;
    static CResourceItem none;
    return item ? *item.Value() : none;
}

// `project` saved to `path` and opened from there as another project; a save
// or open that fails fails the test.
inline CProject SavedAndReopened(CProject& project, const std::string& path) {
    CProject reopened;
    EXPECT_TRUE(project.Save(path)) << path;
    EXPECT_TRUE(reopened.Open(path)) << path;
    return reopened;
}

// Gives `root` a string table keyed each of `tables`, holding `entries` (key
// and value), and a translation table holding `translation` unless it is empty.
using VersionEntries = std::initializer_list<std::pair<const char*, const char*>>;
inline void AddVersionTables(CVersionBlock& root, std::initializer_list<const char*> tables,
                             std::vector<std::uint8_t> translation, VersionEntries entries = {{"Translator", ""}}) {
    auto& info = root.AddChild(std::make_unique<CVersionBlock>("StringFileInfo", kVersionBlock, ""));
    for (const char* key : tables) {
        auto& table = info.AddChild(std::make_unique<CVersionBlock>(key, kVersionBlock, ""));
        for (auto [entry, value] : entries) table.AddChild(std::make_unique<CVersionBlock>(entry, kVersionText, value));
    }
    if (translation.empty()) return;
    auto& vars = root.AddChild(std::make_unique<CVersionBlock>("VarFileInfo", kVersionBlock, ""));
    auto value = std::make_unique<CVersionBlock>("Translation", kVersionBinary, "", RIS_FIXED);
    value->m_pValue = std::move(translation);
    vars.AddChild(std::move(value));
}

// The project updated with `module`, as the Update command does it.
inline UpdateReport UpdateWith(CProject& project, const std::string& module) {
    CProject fresh;
    fresh.m_strModulePath = module;
    return UpdateProject(project, fresh);
}

} // namespace quillon::testing
