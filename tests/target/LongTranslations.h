#pragma once
// Projects whose every translatable item is translated into a longer text,
// so that a build has to grow or move the resource section, and the
// modules whose targets the streamed-build test compares.

#include <memory>
#include <string>

#include "model/ResourceInfo.h"
#include "project/FixtureProject.h"
#include "project/Project.h"

namespace quillon::testing {

inline void TranslateLonger(CResourceItem& item, const std::string& added) {
    if (item.IsTranslatable() && !item.GetText().empty())
        item.SetTranslation(item.GetText() + added, item.m_chHotkey);
    for (auto& child : item.GetChildren()) TranslateLonger(*child, added);
}

// A German project of `module` whose every string, menu and dialog text is
// translated into itself followed by `added` (none when empty).
inline std::unique_ptr<CProject> GermanProject(const std::string& module, const std::string& added) {
    auto project = NewProjectOf(module);
    if (!added.empty())
        for (CResourceItem* root : {&project->m_ResourceInfo.m_Strings, &project->m_ResourceInfo.m_Menus,
                                    &project->m_ResourceInfo.m_Dialogs})
            TranslateLonger(*root, added);
    return project;
}

} // namespace quillon::testing
